// TFormAbout "О программе": the program's name and version, the firmware line that tells
// whether the instrument answered the exchange test, this build's details, a picture of the
// instrument's front, and "ОК". It is modal while shown and hidden, not destroyed, on close.
#pragma once

#include "engine/engine_events.h"

#include <QDialog>
#include <QImage>
#include <QString>

class QLabel;
class QPushButton;

namespace vr410 {

struct DialogModel;

// A small drawing of the instrument's front: the display with a reading and the keypad,
// 210 x 41 pixels.
QImage InstrumentFrontPicture();

class TFormAbout : public QDialog {
    Q_OBJECT
  public:
    static constexpr int ClientWidth = 226;
    static constexpr int ClientHeight = 273;

    // Creates the box hidden, to open centred on `owner` the first time; `settingsPath` is the
    // settings file the box names.
    TFormAbout(QWidget& owner, const QString& settingsPath);

    // Shows the box modally without waiting for it to close: the rest of the program keeps
    // running, so the exchange test's answer can reach Label10 while the box is open.
    void ShowModal();
    // Label10's text, as the answers' decoding has put it in the dialog model.
    void ShowFirmwareLine(const std::string& text);

    QLabel* Image1 = nullptr;
    QLabel* Label10 = nullptr;
    QPushButton* Button1 = nullptr;

  protected:
    // Every show starts with the firmware unknown: only an answer during this show tells.
    void showEvent(QShowEvent* event) override;

  private:
    void FitContents();

    QLabel* Path_ = nullptr;
    QString SettingsPath_;
};

// Keeps the open about box's firmware line current: each decoded exchange-test answer puts the
// dialog model's firmware line into Label10. The box and the model must outlive the stream.
void FollowFirmwareAnswers(TFormAbout& about, engine::EventStream& events,
                           const DialogModel& dialogs);

} // namespace vr410
