#pragma once

#include "editor/QELComponentBase.h"
#include "lookandfeel/PresetMenuStyles.h"
#include "presets/PresetManagerModel.h"

#include <functional>
#include <memory>

namespace tessaro::gui
{
/** One row of the preset list: a preset, or a section title. */
struct Preset
{
    juce::String name;
    juce::String path;
    bool favourite = false;
    bool header = false;
};

/** The row order inside one folder of the preset list: "Init" (any case) first, then names
    starting "VOCAL", then "FX" (both case-sensitive), then the rest; within a group the
    natural order of the file names, ignoring case. Names are compared without extension. */
struct PresetFileComparator
{
    /** Negative when a comes first, positive when b does, 0 when they tie. */
    static int compareElements (const juce::File& a, const juce::File& b);
};

/** Paints the rows of the preset list and turns clicks into loads or favourite toggles. */
class PresetListBoxModel : public juce::ListBoxModel
{
public:
    PresetListBoxModel();

    /** Number of rows. */
    int getNumRows() override;
    /** A header in bold, a preset in regular with its star. */
    void paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool rowIsSelected) override;
    /** A click in the star zone toggles the favourite, elsewhere loads the preset. */
    void listBoxItemClicked (int row, const juce::MouseEvent& e) override;

    /** The click of listBoxItemClicked at a fraction of the row's width: strictly between 0.85
        and 0.95 toggles the favourite, anywhere else loads; a header does nothing. */
    void handleRowClick (int row, float widthFraction);

    /** Replaces `from` by `to` in a star icon and remembers `to`. */
    static void recolour (juce::Drawable& star, juce::Colour& stored, juce::Colour to);

    std::function<void (const Preset&)> onFavouriteChanged;
    juce::Colour filledStarColour { 0xffbdbec6 }, emptyStarColour { 0xff6a6d78 };
    std::unique_ptr<juce::Drawable> filledStar, emptyStar;
    juce::Font font, headerFont;
    juce::Array<Preset>* rows = nullptr;
    juce::Colour selectedTextColour { 0xffedefff };
    juce::Colour rowTextColour { 0x99edefff };
    juce::Colour selectedRowColour { 0x33d9d9d9 };
    std::function<void (const Preset&)> onPresetClicked;
};

/** The drop-down preset list: "Factory" and "User" sections, each every preset below its
    folder flattened in the product's order; a click loads, the star zone marks favourites.
    Favourites are read from the preset root's "favorites" file when the list is built and
    written back when it is destroyed. */
class PresetMenuSelectionComponent : public juce::QELComponentBase
{
public:
    /** Reads the favourites and the rows (model not owned; it outlives the list). */
    explicit PresetMenuSelectionComponent (juce::PresetManagerModel* model);
    /** Writes the favourites file. */
    ~PresetMenuSelectionComponent() override;

    /** Draws nothing: the list box shows through. */
    void paint (juce::Graphics&) override {}
    /** The outline, open at the top where the bar meets the list. */
    void paintOverChildren (juce::Graphics& g) override;
    /** The list box, inset 10 px. */
    void resized() override;

    /** Rebuilds the rows from disk. */
    void loadAllPresets();
    /** Appends every preset below a folder, flattened, in the product order. */
    void loadPresetsFlat (const juce::File& folder);
    /** Appends one row. */
    void addPreset (const juce::String& name, const juce::String& path, bool favourite, bool header);
    /** The folder holding the favourites file: the preset root. */
    juce::File getRootFavoritesFolder() const;
    /** The favourites file. */
    juce::File getFavoritesFile() const { return getRootFavoritesFolder().getChildFile ("favorites"); }

    std::function<void()> onPresetLoaded;
    bool hideAfterLoad = false;
    juce::Colour outlineColour { 0xffedefff };
    juce::PresetManagerModel* model = nullptr;
    /** Declared before the list box, so it outlives the scroll bar that uses it. */
    ScrollBarLookAndFeel scrollBarLookAndFeel;
    std::unique_ptr<PresetListBoxModel> listBoxModel;
    juce::ListBox listBox;
    juce::Array<Preset> rows;
    juce::StringArray favourites;

private:
    void readFavourites();
    void writeFavourites() const;
    void favouriteChanged (const Preset& row);
    void presetClicked (const Preset& row);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetMenuSelectionComponent)
};
} // namespace tessaro::gui
