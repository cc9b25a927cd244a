#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace QEL
{
/** Turns the embedded BinaryData blocks into what the drawing code uses. */
struct EmbeddedResources
{
    /** A new typeface made from a TrueType block, or nullptr for an empty block. */
    static juce::Typeface::Ptr typeface (const char* data, int size);

    /** The decoded image of a PNG block, cached by its address: only for blocks that live as
        long as the process, such as the BinaryData constants. */
    static juce::Image image (const char* data, int size);

    /** A new drawable parsed from an SVG block, or nullptr when it does not parse. */
    static std::unique_ptr<juce::Drawable> drawable (const char* data, int size);

    /** Montserrat Regular, the face's text font. */
    static juce::Typeface::Ptr montserratRegular();

    /** Montserrat Bold. */
    static juce::Typeface::Ptr montserratBold();
};
} // namespace QEL
