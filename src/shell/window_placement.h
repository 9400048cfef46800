// Where the program's dialogs open: centred on the main window the first time they are shown,
// and wherever the operator left them after that.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vr410 {

// The top-left corner of a window frame of size `frame` centred on `owner` (an outer
// rectangle), moved the least needed to lie inside `area` (the screen's available area); a
// frame larger than the area keeps its top-left corner in it. An empty `area` means no screen
// is known and only centres.
QPoint CentredPlace(QSize frame, const QRect& owner, const QRect& area);

// Makes `dialog` (a top-level window) open centred on `owner`'s window the first time it is
// shown, kept on the owner's screen; later shows leave it where it was. Call it once, when the
// dialog is created; the owner's place is taken at the first show, not now. The dialog's frame
// is not known before its first show, so it is taken to be as thick as the owner's.
void CentreOnFirstShow(QWidget& dialog, const QWidget& owner);

} // namespace vr410
