#include "editor/EditorDialogs.h"

namespace QEL
{
EditorDialogs EditorDialogs::modal()
{
    EditorDialogs d;
#if JUCE_MODAL_LOOPS_PERMITTED
    d.chooseFileToOpen = [] (const juce::String& title, const juce::File& start, const juce::String& pattern)
    {
        juce::FileChooser chooser (title, start, pattern);
        return chooser.browseForFileToOpen() ? chooser.getResult() : juce::File();
    };
    d.chooseFolder = [] (const juce::String& title, const juce::File& start)
    {
        juce::FileChooser chooser (title, start, {});
        return chooser.browseForDirectory() ? chooser.getResult() : juce::File();
    };
    d.chooseFileToSave = [] (const juce::String& title, const juce::File& start, const juce::String& pattern)
    {
        juce::FileChooser chooser (title, start, pattern);
        return chooser.browseForFileToSave (true) ? chooser.getResult() : juce::File();
    };
    d.askYesNo = [] (const juce::String& title, const juce::String& message)
    {
        juce::AlertWindow window (title, message, juce::MessageBoxIconType::QuestionIcon);
        window.addButton ("No", 0);
        window.addButton ("Yes", 1);
        return window.runModalLoop() == 1;
    };
    d.inform = [] (const juce::String& title, const juce::String& message)
    { juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::InfoIcon, title, message); };
#else
    d.chooseFileToOpen = [] (const juce::String&, const juce::File&, const juce::String&) { return juce::File(); };
    d.chooseFolder = [] (const juce::String&, const juce::File&) { return juce::File(); };
    d.chooseFileToSave = [] (const juce::String&, const juce::File&, const juce::String&) { return juce::File(); };
    d.askYesNo = [] (const juce::String&, const juce::String&) { return false; };
    d.inform = [] (const juce::String&, const juce::String&) {};
#endif
    return d;
}
} // namespace QEL
