#pragma once

#include <juce_core/juce_core.h>

#include <regex>

/** An order prefix inside a preset folder name: an underscore, two digits, one
    blank, then the name that is shown ("_02 Lead Vocals"). Searched anywhere in the
    name, so "Mix_12 Bus" carries the prefix too. */
extern const std::regex FOLDER_ORDER_RGX;

/** Reads the order prefix of preset folder names. */
struct PresetManagerRegexHelper
{
    /** The key a folder without an order prefix sorts by: after every prefixed folder. */
    static constexpr int noFolderOrder = 999;

    /** The name to show for a folder: the text after its order prefix, else the name unchanged. */
    static juce::String sanitizeFolderName (const juce::String& name);

    /** The sort key of a folder: the two prefix digits as a number (0..99), else 999. */
    static int extractFolderOrder (const juce::String& name);
};

/** Orders the entries of one preset folder for a menu: sub-folders first, then by
    key (a folder's order prefix, a "qelpreset" file's "order" attribute, 0 for any
    other file), then by the natural order of the full paths, ignoring case.
    Use with juce::Array::sort. */
struct PresetFileComparator
{
    /** Negative when a sorts first, positive when b does, 0 when both compare equal. */
    static int compareElements (const juce::File& a, const juce::File& b);
};
