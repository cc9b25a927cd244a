#pragma once

#include <juce_core/juce_core.h>

namespace QEL
{
/** A listener list that calls its listeners in the order they were added (JUCE 7's
    ListenerList calls the last added first). A listener removed during a call is not
    called afterwards; one added during a call waits for the next call. Message thread only. */
template <class ListenerClass>
class OrderedListenerList
{
public:
    /** Appends a listener (not owned); a listener already in the list is not added again. */
    void add (ListenerClass* listener)
    {
        if (listener != nullptr)
            listeners.addIfNotAlreadyThere (listener);
    }

    /** Removes a listener; unknown ones are ignored. */
    void remove (ListenerClass* listener) { listeners.removeFirstMatchingValue (listener); }

    /** Number of listeners. */
    int size() const noexcept { return listeners.size(); }

    /** Calls callback (ListenerClass&) on every listener, first added first. */
    template <typename Callback>
    void call (Callback&& callback)
    {
        const auto snapshot = listeners;

        for (auto* listener : snapshot)
            if (listeners.contains (listener))
                callback (*listener);
    }

private:
    juce::Array<ListenerClass*> listeners;
};
} // namespace QEL
