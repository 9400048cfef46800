#include "engine/answer_step.h"

namespace vr410::engine {

AnswerStep::AnswerStep(InstrumentState& state, AnswerView& window)
    : State_(state), Window_(window) {}

void AnswerStep::ClearText() {
    SetAnswerText({});
}

bool AnswerStep::Validate(uint32_t receiveStatus, const AnswerContext& answer) {
    return ValidateAnswer(receiveStatus, answer, State_, *this);
}

ReadValueAction AnswerStep::Decode(const AnswerContext& answer) {
    return DecodeAnswer(answer, State_, *this).ReadValue;
}

void AnswerStep::SetAnswerText(const std::string& text) {
    Text_ = text;
    Window_.SetAnswerText(text);
}

} // namespace vr410::engine
