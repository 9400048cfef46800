// Pictures of the windows for a person to look at: a test writes a window's picture to
// <name>.png (<name>@2x.png at twice the pixel density) in the build folder's screenshots folder
// (VR410_SCREENSHOT_DIR, which the test target defines as ${CMAKE_BINARY_DIR}/screenshots; without
// it, a screenshots folder beside the test binary). The picture is what the widget paints, without
// the window manager's frame.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <string>

namespace vr410::test {

// Writes the widget's picture and returns the file's path, or an empty string when the
// picture could not be taken or written. A widget not yet shown is laid out first.
inline std::string WriteScreenshot(QWidget& widget, const std::string& name) {
#ifdef VR410_SCREENSHOT_DIR
    const QDir folder(QStringLiteral(VR410_SCREENSHOT_DIR));
#else
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots"));
#endif
    if (!folder.mkpath(QStringLiteral("."))) {
        return {};
    }
    widget.ensurePolished();
    const QPixmap picture = widget.grab();
    // A picture taken at a higher pixel density (QT_SCALE_FACTOR=2) keeps the 1x one beside it.
    const QString suffix = picture.devicePixelRatio() > 1.0
                               ? QStringLiteral("@%1x.png").arg(picture.devicePixelRatio())
                               : QStringLiteral(".png");
    const QString path = folder.filePath(QString::fromStdString(name) + suffix);
    if (picture.isNull() || !picture.save(path, "PNG")) {
        return {};
    }
    return path.toStdString();
}

} // namespace vr410::test
