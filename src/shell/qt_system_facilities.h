// The desktop facilities through Qt: modal message boxes, the beep, the busy cursor and the
// default handler of web addresses.
#pragma once

#include "platform/system_facilities.h"

namespace vr410 {

class QtSystemFacilities : public SystemFacilities {
  public:
    ~QtSystemFacilities() override;
    void ShowMessage(const std::string& text, MessageKind kind) override;
    void Beep() override;
    // Nested calls are not counted: the cursor is either busy or normal.
    void SetBusyCursor(bool busy) override;
    bool OpenUrl(const std::string& url) override;

  private:
    bool Busy_ = false;
};

} // namespace vr410
