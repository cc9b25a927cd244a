#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace QEL
{
/** A control that can tell the editor's help bubble what it does. */
class HintClient
{
public:
    virtual ~HintClient() = default;

    /** The hint text; empty means no hint. */
    virtual juce::String getHint() = 0;
};

/** A HintClient holding its hint as a plain string. */
class SettableHintClient : public HintClient
{
public:
    ~SettableHintClient() override = default;

    juce::String getHint() override { return hint; }

    /** Replaces the hint. */
    virtual void setHint (const juce::String& newHint) { hint = newHint; }

private:
    juce::String hint;
};
} // namespace QEL

namespace juce
{
/** Shows a control's hint in the editor's help bubble. */
class ContextualHelpManager
{
public:
    virtual ~ContextualHelpManager() = default;

    /** Shows hint for the given control. */
    virtual void showHint (Component* target, String hint) = 0;
};

class AudioProcessorParameter;

/** A control bound to one parameter, which the editor can ask for it. */
class QELParametrizable
{
public:
    virtual ~QELParametrizable() = default;

    /** The bound parameter, or nullptr. */
    virtual AudioProcessorParameter* getParameter() = 0;
    /** Binds the control to a parameter (not owned). */
    virtual void setParameter (AudioProcessorParameter* newParameter) = 0;
};
} // namespace juce
