#include "editor/EmbeddedResources.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

#include <cstring>

namespace
{
const juce::File resourcesFolder { TESSARO_RESOURCES_DIR };

struct Resource
{
    const char* name;
    const char* file;
    int width, height; // decoded PNG or SVG root size; 0 for fonts
};

// The table in its embedded order.
const Resource table[] = {
    { "MontserratRegular_ttf", "fonts/Montserrat-Regular.ttf", 0, 0 },
    { "MontserratBold_ttf", "fonts/Montserrat-Bold.ttf", 0, 0 },
    { "background_png", "images/background.png", 1300, 800 },
    { "compress_animation_strip_png", "images/compress_animation_strip.png", 18000, 270 },
    { "enhance_animation_strip_png", "images/enhance_animation_strip.png", 18000, 270 },
    { "eq_animation_strip_png", "images/eq_animation_strip.png", 18000, 270 },
    { "gain_animation_strip_png", "images/gain_animation_strip.png", 18000, 270 },
    { "multiply_animation_strip_png", "images/multiply_animation_strip.png", 18000, 270 },
    { "space_animation_strip_png", "images/space_animation_strip.png", 18000, 270 },
    { "compress_off_png", "images/compress_off.png", 400, 540 },
    { "enhance_off_png", "images/enhance_off.png", 400, 540 },
    { "eq_off_png", "images/eq_off.png", 400, 540 },
    { "gain_off_png", "images/gain_off.png", 400, 540 },
    { "multiply_off_png", "images/multiply_off.png", 400, 540 },
    { "space_off_png", "images/space_off.png", 400, 540 },
    { "compress_back_icon_svg", "icons/compress_back_icon.svg", 80, 121 },
    { "compress_off_icon_svg", "icons/compress_off_icon.svg", 182, 201 },
    { "enhance_back_icon_svg", "icons/enhance_back_icon.svg", 120, 108 },
    { "enhance_off_icon_svg", "icons/enhance_off_icon.svg", 183, 201 },
    { "eq_back_icon_svg", "icons/eq_back_icon.svg", 120, 81 },
    { "eq_off_icon_svg", "icons/eq_off_icon.svg", 182, 201 },
    { "gain_back_icon_svg", "icons/gain_back_icon.svg", 120, 114 },
    { "gain_off_icon_svg", "icons/gain_off_icon.svg", 182, 201 },
    { "multiply_back_icon_svg", "icons/multiply_back_icon.svg", 120, 121 },
    { "multiply_off_icon_svg", "icons/multiply_off_icon.svg", 182, 201 },
    { "space_back_icon_svg", "icons/space_back_icon.svg", 125, 126 },
    { "space_off_icon_svg", "icons/space_off_icon.svg", 181, 201 },
    { "orvane_logo_svg", "icons/orvane_logo.svg", 85, 13 },
    { "expand_icon_svg", "icons/expand_icon.svg", 16, 17 },
    { "power_icon_svg", "icons/power_icon.svg", 16, 18 },
    { "preset_next_svg", "icons/preset_next.svg", 9, 15 },
    { "preset_previous_svg", "icons/preset_previous.svg", 9, 15 },
    { "save_icon_svg", "icons/save_icon.svg", 16, 17 },
    { "star_empty_icon_svg", "icons/star_empty_icon.svg", 13, 13 },
    { "star_filled_icon_svg", "icons/star_filled_icon.svg", 12, 12 },
    { "sync_icon_svg", "icons/sync_icon.svg", 21, 24 },
    { "tessaro_logo_svg", "icons/tessaro_logo.svg", 136, 23 },
    { "anim_always_on_icon_svg", "icons/anim_always_on_icon.svg", 16, 17 },
    { "anim_off_icon_svg", "icons/anim_off_icon.svg", 16, 17 },
    { "anim_on_icon_svg", "icons/anim_on_icon.svg", 16, 13 },
};

juce::MemoryBlock embedded (const char* name)
{
    int size = -1;
    const auto* data = BinaryData::getNamedResource (name, size);
    return data == nullptr ? juce::MemoryBlock() : juce::MemoryBlock (data, (size_t) size);
}

std::unique_ptr<juce::XmlElement> svgRoot (const char* name)
{
    const auto bytes = embedded (name);
    return juce::XmlDocument::parse (bytes.toString());
}
} // namespace

TEST (EmbeddedResources, TableHoldsEveryCommittedFileInOrderByteForByte)
{
    ASSERT_EQ (BinaryData::namedResourceListSize, (int) std::size (table));

    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        SCOPED_TRACE (table[i].name);
        const auto source = resourcesFolder.getChildFile (table[i].file);
        EXPECT_STREQ (BinaryData::namedResourceList[i], table[i].name);
        EXPECT_EQ (juce::String (BinaryData::originalFilenames[i]), source.getFileName());

        juce::MemoryBlock onDisk;
        ASSERT_TRUE (source.loadFileAsData (onDisk));
        EXPECT_EQ (embedded (table[i].name), onDisk);
    }
}

TEST (EmbeddedResources, LookupByNameGivesTheConstantsAndNullOutsideTheTable)
{
    int size = -1;
    EXPECT_EQ (BinaryData::getNamedResource ("background_png", size), BinaryData::background_png);
    EXPECT_EQ (size, BinaryData::background_pngSize);
    EXPECT_EQ (std::memcmp (BinaryData::background_png, "\x89PNG\r\n\x1a\n", 8), 0);

    for (const char* outside : { "background.png", "Background_png", "BACKGROUND_PNG", "background_pn", "" })
    {
        SCOPED_TRACE (outside);
        size = 123;
        EXPECT_EQ (BinaryData::getNamedResource (outside, size), nullptr);
        EXPECT_EQ (size, 0);
    }
}

TEST (EmbeddedResources, LookupComparesHashesNotNames)
{
    // "cB" and "ba" hash alike (99*31 + 66 == 98*31 + 97), so this name finds the background.
    int size = 0;
    EXPECT_EQ (BinaryData::getNamedResource ("cBckground_png", size), BinaryData::background_png);
    EXPECT_EQ (size, BinaryData::background_pngSize);
}

TEST (EmbeddedResources, OriginalFilenameLookup)
{
    EXPECT_STREQ (BinaryData::getNamedResourceOriginalFilename ("MontserratRegular_ttf"), "Montserrat-Regular.ttf");
    EXPECT_STREQ (BinaryData::getNamedResourceOriginalFilename ("anim_on_icon_svg"), "anim_on_icon.svg");
    EXPECT_EQ (BinaryData::getNamedResourceOriginalFilename ("montserratRegular_ttf"), nullptr);
    EXPECT_EQ (BinaryData::getNamedResourceOriginalFilename ("cBckground_png"), nullptr);
}

TEST (EmbeddedResources, EveryPngDecodesToItsSize)
{
    for (const auto& r : table)
    {
        if (! juce::String (r.name).endsWith ("_png"))
            continue;
        SCOPED_TRACE (r.name);
        int size = 0;
        const auto* data = BinaryData::getNamedResource (r.name, size);
        const auto image = QEL::EmbeddedResources::image (data, size);
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), r.width);
        EXPECT_EQ (image.getHeight(), r.height);
    }
}

TEST (EmbeddedResources, BackgroundIsOpaqueAndDarkAndStillsAreTranslucent)
{
    const auto background = QEL::EmbeddedResources::image (BinaryData::background_png, BinaryData::background_pngSize);
    for (auto p : { juce::Point<int> (0, 0), { 650, 400 }, { 1299, 799 }, { 650, 30 } })
    {
        const auto c = background.getPixelAt (p.x, p.y);
        EXPECT_EQ (c.getAlpha(), 0xff);
        EXPECT_LT (c.getBrightness(), 0.15f);
    }

    const auto still = QEL::EmbeddedResources::image (BinaryData::space_off_png, BinaryData::space_off_pngSize);
    EXPECT_EQ (still.getPixelAt (0, 0).getAlpha(), 0);
    int maxAlpha = 0;
    for (int x = 0; x < still.getWidth(); x += 2)
        maxAlpha = juce::jmax (maxAlpha, (int) still.getPixelAt (x, 270).getAlpha());
    EXPECT_GT (maxAlpha, 0x20);
    EXPECT_LT (maxAlpha, 0x80); // dimmed: the module at rest is never drawn at full strength
}

TEST (EmbeddedResources, StripsLoopWithoutASeam)
{
    // Frame 89 leads into frame 0: it is close to frame 0, as neighbouring frames are.
    const auto strip = QEL::EmbeddedResources::image (BinaryData::compress_animation_strip_png,
                                                      BinaryData::compress_animation_strip_pngSize);
    const auto difference = [&strip] (int a, int b)
    {
        int sum = 0;
        for (int y = 0; y < 270; y += 3)
            for (int x = 0; x < 200; x += 3)
                sum += std::abs ((int) strip.getPixelAt (a * 200 + x, y).getAlpha() -
                                 (int) strip.getPixelAt (b * 200 + x, y).getAlpha());
        return sum;
    };
    EXPECT_GT (difference (0, 22), 4 * difference (89, 0));
    EXPECT_LT (difference (89, 0), 2 * difference (0, 1) + 1);
}

TEST (EmbeddedResources, EverySvgParsesToADrawableOfItsSize)
{
    for (const auto& r : table)
    {
        if (! juce::String (r.name).endsWith ("_svg"))
            continue;
        SCOPED_TRACE (r.name);
        const auto root = svgRoot (r.name);
        ASSERT_NE (root, nullptr);
        EXPECT_TRUE (root->hasTagName ("svg"));
        EXPECT_EQ (root->getIntAttribute ("width"), r.width);
        EXPECT_EQ (root->getIntAttribute ("height"), r.height);
        EXPECT_EQ (root->getStringAttribute ("viewBox"),
                   "0 0 " + juce::String (r.width) + " " + juce::String (r.height));

        const auto bytes = embedded (r.name);
        const auto drawable = QEL::EmbeddedResources::drawable ((const char*) bytes.getData(), (int) bytes.getSize());
        ASSERT_NE (drawable, nullptr);
        // The face lays logos and icon buttons out by these bounds.
        EXPECT_EQ (drawable->getDrawableBounds(), juce::Rectangle<float> (0.0f, 0.0f, (float) r.width, (float) r.height));
    }
}

TEST (EmbeddedResources, RecolouredIconsArePureWhiteAndTheOthersHaveNoWhite)
{
    // The buttons replace white with their state colours; icons drawn as they are must not hold it.
    const auto coloursIn = [] (const char* name)
    {
        juce::StringArray colours;
        const auto text = embedded (name).toString();
        for (const char* attribute : { "fill=\"", "stroke=\"" })
            for (int at = text.indexOf (attribute); at >= 0; at = text.indexOf (at + 1, attribute))
            {
                const auto value = text.substring (at)
                                       .fromFirstOccurrenceOf ("\"", false, false)
                                       .upToFirstOccurrenceOf ("\"", false, false);
                if (value != "none")
                    colours.addIfNotAlreadyThere (value.toUpperCase());
            }
        return colours;
    };

    for (const char* name : { "power_icon_svg", "sync_icon_svg", "expand_icon_svg", "anim_on_icon_svg",
                              "anim_off_icon_svg", "anim_always_on_icon_svg" })
        EXPECT_EQ (coloursIn (name), juce::StringArray ("#FFFFFF")) << name;

    for (const char* name : { "preset_next_svg", "preset_previous_svg", "save_icon_svg", "star_empty_icon_svg",
                              "star_filled_icon_svg", "orvane_logo_svg", "tessaro_logo_svg" })
        EXPECT_FALSE (coloursIn (name).contains ("#FFFFFF")) << name;
}

TEST (EmbeddedResources, BothFontsLoadAsMontserrat)
{
    for (auto typeface : { QEL::EmbeddedResources::montserratRegular(), QEL::EmbeddedResources::montserratBold() })
    {
        ASSERT_NE (typeface, nullptr);
        EXPECT_EQ (typeface->getName(), "Montserrat");
        EXPECT_GT (juce::Font (typeface).withHeight (20.0f).getStringWidthFloat ("Tessaro"), 40.0f);
    }
    EXPECT_NE (QEL::EmbeddedResources::montserratRegular()->getStyle(),
               QEL::EmbeddedResources::montserratBold()->getStyle());
}
