#include "editor/QELComponentBase.h"

namespace juce
{
void QELComponentBase::internalSetPluginSize (float newScale)
{
    for (auto* child : getChildren())
        if (auto* scalable = dynamic_cast<QELComponentBase*> (child);
            scalable != nullptr && scalable->scale != newScale)
        {
            scalable->scale = newScale;
            scalable->internalSetPluginSize (newScale);
        }
}
} // namespace juce
