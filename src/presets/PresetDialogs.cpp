#include "presets/PresetDialogs.h"

namespace QEL
{
namespace
{
    void centre (juce::AlertWindow& window, const juce::Component::SafePointer<juce::Component>& owner)
    {
        if (owner != nullptr && owner->getParentComponent() != nullptr)
            window.centreAroundComponent (owner->getParentComponent(), window.getWidth(), window.getHeight());
    }

    void addEditableCombo (juce::AlertWindow& window, const juce::String& name, const juce::StringArray& items,
                           const juce::String& text, const juce::String& label)
    {
        window.addComboBox (name, items, label);
        auto* combo = window.getComboBoxComponent (name);
        combo->setEditableText (true);

        if (text.isNotEmpty())
            combo->setText (text, juce::dontSendNotification);
    }

#if JUCE_MODAL_LOOPS_PERMITTED
    std::optional<PresetForm::Answer> runFormWindow (const PresetForm& form,
                                                     const juce::Component::SafePointer<juce::Component>& owner)
    {
        juce::AlertWindow window (form.title, form.message, juce::MessageBoxIconType::NoIcon);
        window.setOpaque (false);

        if (form.withBank)
            addEditableCombo (window, "bank_name", form.banks,
                              form.initial.bank.isNotEmpty() ? form.initial.bank
                                                             : (form.banks.isEmpty() ? "Bank 1" : form.banks[0]),
                              "Bank");

        if (form.withTypeAndGenre)
        {
            addEditableCombo (window, "type_combobox", { "All" }, form.initial.type, "Type");
            addEditableCombo (window, "genre_combobox", { "All" }, form.initial.genre, "Genre");
        }

        if (form.withName)
            window.addTextEditor ("preset_name", form.initial.name, form.nameLabel, false);

        window.addButton ("Cancel", 0);
        window.addButton (form.confirmText, 1,
                          form.returnConfirms ? juce::KeyPress (juce::KeyPress::returnKey) : juce::KeyPress());

        if (auto* editor = window.getTextEditor ("preset_name"))
            juce::Timer::callAfterDelay (100, [safe = juce::Component::SafePointer<juce::TextEditor> (editor)]
                                         {
                                             if (safe != nullptr)
                                                 safe->grabKeyboardFocus();
                                         });

        centre (window, owner);

        if (window.runModalLoop() != 1)
            return std::nullopt;

        const auto comboText = [&window] (const juce::String& name)
        {
            auto* combo = window.getComboBoxComponent (name);
            return combo != nullptr ? combo->getText() : juce::String();
        };

        return PresetForm::Answer { comboText ("bank_name"), window.getTextEditorContents ("preset_name"),
                                    comboText ("type_combobox"), comboText ("genre_combobox") };
    }
#endif
} // namespace

PresetDialogs PresetDialogs::modal (juce::Component* ownerComponent)
{
    PresetDialogs d;
    const juce::Component::SafePointer<juce::Component> owner (ownerComponent);
    juce::ignoreUnused (owner);
#if JUCE_MODAL_LOOPS_PERMITTED
    d.showMenu = [] (juce::PopupMenu& menu, juce::Component* target, int minimumWidth)
    { return menu.showMenu (juce::PopupMenu::Options().withTargetComponent (target).withMinimumWidth (minimumWidth)); };
    d.fillForm = [owner] (const PresetForm& form) { return runFormWindow (form, owner); };
    d.confirm = [owner] (const juce::String& title, const juce::String& message)
    {
        juce::AlertWindow window (title, message, juce::MessageBoxIconType::NoIcon);
        window.setOpaque (false);
        window.addButton ("No", 0);
        window.addButton ("Yes", 1);
        centre (window, owner);
        return window.runModalLoop() == 1;
    };
    d.warn = [] (const juce::String& title, const juce::String& message)
    { juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::WarningIcon, title, message); };
    d.inform = [] (const juce::String& title, const juce::String& message)
    { juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::InfoIcon, title, message); };
    d.chooseFileToOpen = [] (const juce::String& title, const juce::File& start, const juce::String& pattern)
    {
        juce::FileChooser chooser (title, start, pattern);
        return chooser.browseForFileToOpen() ? chooser.getResult() : juce::File();
    };
    d.chooseFilesToOpen = [] (const juce::String& title, const juce::File& start, const juce::String& pattern)
    {
        juce::FileChooser chooser (title, start, pattern);
        return chooser.browseForMultipleFilesToOpen() ? chooser.getResults() : juce::Array<juce::File>();
    };
    d.chooseFileToSave = [] (const juce::String& title, const juce::File& start, const juce::String& pattern)
    {
        juce::FileChooser chooser (title, start, pattern);
        return chooser.browseForFileToSave (true) ? chooser.getResult() : juce::File();
    };
#else
    d.showMenu = [] (juce::PopupMenu&, juce::Component*, int) { return 0; };
    d.fillForm = [] (const PresetForm&) { return std::optional<PresetForm::Answer>(); };
    d.confirm = [] (const juce::String&, const juce::String&) { return false; };
    d.warn = d.inform = [] (const juce::String&, const juce::String&) {};
    d.chooseFileToOpen = d.chooseFileToSave = [] (const juce::String&, const juce::File&, const juce::String&)
    { return juce::File(); };
    d.chooseFilesToOpen = [] (const juce::String&, const juce::File&, const juce::String&)
    { return juce::Array<juce::File>(); };
#endif
    d.reveal = [] (const juce::File& folder) { folder.revealToUser(); };
    return d;
}

void PresetDialogs::runForm (PresetForm form,
                             const std::function<juce::String (const PresetForm::Answer&)>& attempt) const
{
    while (auto answer = fillForm (form))
    {
        const auto problem = attempt (*answer);

        if (problem.isEmpty())
            return;

        form.message = problem;
        form.initial = *answer;
    }
}
} // namespace QEL
