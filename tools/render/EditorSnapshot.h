#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace tessaro::render
{
/** Opens a plug-in's editor in a window on the display, as a host shows it, and takes a
    picture of what the window shows. */
struct EditorSnapshot
{
    /** The window's pixels after `settleMs` of message loop, or an error (no display, no editor). */
    static juce::Result capture (juce::AudioPluginInstance& plugin, juce::Image& picture, int settleMs = 600);

    /** capture, written as a PNG file. */
    static juce::Result writePng (juce::AudioPluginInstance& plugin, const juce::File& file);
};
} // namespace tessaro::render
