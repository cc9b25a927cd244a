#include "presets/PresetMenuSelectionComponent.h"

#include "editor/EmbeddedResources.h"
#include "presets/ModelFiles.h"
#include "presets/PresetFiles.h"

#include <BinaryData.h>

namespace tessaro::gui
{
namespace
{
    /** The group a name sorts in: Init, VOCAL, FX, the rest. */
    int groupOf (const juce::String& name)
    {
        if (name.equalsIgnoreCase ("Init"))
            return 0;
        if (name.startsWith ("VOCAL"))
            return 1;
        if (name.startsWith ("FX"))
            return 2;
        return 3;
    }

    void drawStar (juce::Graphics& g, const juce::Drawable& star, int width, int height)
    {
        const auto bounds = star.getDrawableBounds();
        star.draw (g, 1.0f,
                   juce::AffineTransform::translation ((float) width - bounds.getWidth() - 20.0f,
                                                       ((float) height - bounds.getHeight()) / 2.0f));
    }
} // namespace

int PresetFileComparator::compareElements (const juce::File& a, const juce::File& b)
{
    // Ranking by group keeps this a strict weak order, also with two names that both read "Init".
    const auto groupA = groupOf (a.getFileNameWithoutExtension());
    const auto groupB = groupOf (b.getFileNameWithoutExtension());

    if (groupA != groupB)
        return groupA < groupB ? -1 : 1;

    return a.getFileName().compareNatural (b.getFileName(), false);
}

//==============================================================================
PresetListBoxModel::PresetListBoxModel()
    : filledStar (QEL::EmbeddedResources::drawable (BinaryData::star_filled_icon_svg,
                                                    BinaryData::star_filled_icon_svgSize)),
      emptyStar (QEL::EmbeddedResources::drawable (BinaryData::star_empty_icon_svg,
                                                   BinaryData::star_empty_icon_svgSize)),
      font (QEL::EmbeddedResources::montserratRegular()), headerFont (QEL::EmbeddedResources::montserratBold())
{
    recolour (*filledStar, filledStarColour, juce::Colour (0xfff5f5f5));
    recolour (*emptyStar, emptyStarColour, juce::Colour (0xffffffff));
}

void PresetListBoxModel::recolour (juce::Drawable& star, juce::Colour& stored, juce::Colour to)
{
    star.replaceColour (stored, to);
    stored = to;
}

int PresetListBoxModel::getNumRows()
{
    return rows != nullptr ? rows->size() : 0;
}

void PresetListBoxModel::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool rowIsSelected)
{
    if (rows == nullptr || ! juce::isPositiveAndBelow (row, rows->size()))
        return;

    const auto& preset = rows->getReference (row);

    if (preset.header)
    {
        g.setColour (rowTextColour);
        g.setFont (headerFont.withHeight (20.0f));
        g.drawText (preset.name, 10, 0, width - 20, height, juce::Justification::centredLeft, true);
        return;
    }

    if (rowIsSelected)
    {
        g.setColour (selectedRowColour);
        g.fillRect (0, 0, juce::jmax (0, width - 4), height);
    }

    g.setColour (rowIsSelected ? selectedTextColour : rowTextColour);
    g.setFont (font.withHeight (20.0f));
    g.drawText (preset.name, 20, 0, width - 40, height, juce::Justification::centredLeft, true);

    if (preset.favourite && filledStar != nullptr)
        drawStar (g, *filledStar, width, height);
    else if (rowIsSelected && emptyStar != nullptr)
        drawStar (g, *emptyStar, width, height);
}

void PresetListBoxModel::listBoxItemClicked (int row, const juce::MouseEvent& e)
{
    const auto width = e.eventComponent != nullptr ? e.eventComponent->getWidth() : 0;

    if (width > 0)
        handleRowClick (row, (float) juce::roundToInt (e.getMouseDownX()) / (float) width);
}

void PresetListBoxModel::handleRowClick (int row, float widthFraction)
{
    if (rows == nullptr || ! juce::isPositiveAndBelow (row, rows->size()) || rows->getReference (row).header)
        return;

    auto& preset = rows->getReference (row);

    if (widthFraction > 0.85f && widthFraction < 0.95f)
    {
        preset.favourite = ! preset.favourite;

        if (onFavouriteChanged)
            onFavouriteChanged (preset);
    }
    else if (onPresetClicked)
    {
        onPresetClicked (preset);
    }
}

//==============================================================================
PresetMenuSelectionComponent::PresetMenuSelectionComponent (juce::PresetManagerModel* presetModel)
    : model (presetModel)
{
    readFavourites();

    listBoxModel = std::make_unique<PresetListBoxModel>();
    listBoxModel->rows = &rows;
    listBoxModel->onPresetClicked = [this] (const Preset& row) { presetClicked (row); };
    listBoxModel->onFavouriteChanged = [this] (const Preset& row) { favouriteChanged (row); };
    listBox.setModel (listBoxModel.get());

    listBox.setRowHeight (38);
    listBox.setColour (juce::ListBox::backgroundColourId, juce::Colours::transparentBlack);
    listBox.getViewport()->setScrollBarThickness (13);
    listBox.getViewport()->getVerticalScrollBar().setLookAndFeel (&scrollBarLookAndFeel);
    addAndMakeVisible (listBox);

    loadAllPresets();
}

PresetMenuSelectionComponent::~PresetMenuSelectionComponent()
{
    writeFavourites();
    listBox.getViewport()->getVerticalScrollBar().setLookAndFeel (nullptr);
    listBox.setModel (nullptr);
}

juce::File PresetMenuSelectionComponent::getRootFavoritesFolder() const
{
    return model->getRootPresetFolder();
}

void PresetMenuSelectionComponent::readFavourites()
{
    favourites.clear();
    const auto file = getFavoritesFile();

    if (! file.existsAsFile())
        return;

    if (const auto xml = juce::parseXML (file))
        for (const auto& child : juce::ValueTree::fromXml (*xml))
            favourites.add (child["path"].toString());
}

void PresetMenuSelectionComponent::writeFavourites() const
{
    juce::ValueTree tree ("favorites");

    for (const auto& path : favourites)
        tree.appendChild (juce::ValueTree ("favorite").setProperty ("path", path, nullptr), nullptr);

    QEL::ModelFiles::writeTree (tree, getFavoritesFile());
}

//==============================================================================
void PresetMenuSelectionComponent::loadAllPresets()
{
    rows.clear();
    const auto root = model->getRootPresetFolder();
    addPreset ("Factory", {}, false, true);
    loadPresetsFlat (root.getChildFile ("Factory"));
    addPreset ("User", {}, false, true);
    loadPresetsFlat (root.getChildFile ("User"));
}

void PresetMenuSelectionComponent::loadPresetsFlat (const juce::File& folder)
{
    auto children = QEL::PresetFiles::listChildren (folder);

    if (children.size() > 1)
    {
        PresetFileComparator comparator;
        children.sort (comparator);
    }

    for (const auto& child : children)
    {
        if (child.isDirectory())
            loadPresetsFlat (child);
        else if (model->isQELPreset (child))
            addPreset (child.getFileNameWithoutExtension(), child.getFullPathName(),
                       favourites.contains (child.getFullPathName()), false);
    }

    listBox.updateContent();
    repaint();
}

void PresetMenuSelectionComponent::addPreset (const juce::String& name, const juce::String& path, bool favourite,
                                              bool header)
{
    rows.add ({ name, path, favourite, header });
}

void PresetMenuSelectionComponent::favouriteChanged (const Preset& row)
{
    if (row.favourite)
        favourites.addIfNotAlreadyThere (row.path);
    else
        favourites.removeString (row.path);

    listBox.repaint();
}

void PresetMenuSelectionComponent::presetClicked (const Preset& row)
{
    model->loadPreset (juce::File (row.path), true);

    if (onPresetLoaded)
        onPresetLoaded();

    if (hideAfterLoad)
        setVisible (false);
}

//==============================================================================
void PresetMenuSelectionComponent::resized()
{
    listBox.setBounds (10, 10, juce::jmax (0, getWidth() - 20), juce::jmax (0, getHeight() - 20));
}

void PresetMenuSelectionComponent::paintOverChildren (juce::Graphics& g)
{
    g.reduceClipRegion (0, 3, getWidth(), juce::jmax (0, getHeight() - 3));

    juce::Path outline;
    outline.addRoundedRectangle (2.0f, 2.0f, (float) juce::jmax (0, getWidth() - 4),
                                 (float) juce::jmax (0, getHeight() - 4), 2.0f, 2.0f, false, false, true, true);
    g.setColour (outlineColour);
    g.strokePath (outline, juce::PathStrokeType (1.0f));
}
} // namespace tessaro::gui
