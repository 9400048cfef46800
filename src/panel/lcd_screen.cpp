#include "panel/lcd_screen.h"

#include "platform/text_encoding.h"

#include <QEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

#include <algorithm>
#include <cstring>

namespace vr410 {
namespace {

// Fills a rectangle of a 32-bit image, clipped to the image.
void FillRect(QImage& image, int x, int y, int w, int h, QRgb color) {
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + w, image.width());
    const int y1 = std::min(y + h, image.height());
    for (int row = y0; row < y1; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::fill(line + x0, line + std::max(x0, x1), color);
    }
}

// Copies the whole of source into target at x, y, clipped to the target.
void Blit(QImage& target, const QImage& source, int x, int y) {
    const int x0 = std::max(x, 0);
    const int x1 = std::min(x + source.width(), target.width());
    if (x1 <= x0) {
        return;
    }
    for (int row = std::max(y, 0); row < std::min(y + source.height(), target.height()); ++row) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(row - y));
        auto* to = reinterpret_cast<QRgb*>(target.scanLine(row));
        std::memcpy(to + x0, from + (x0 - x), sizeof(QRgb) * static_cast<size_t>(x1 - x0));
    }
}

template <typename T> bool Differs(const T& field, const T& value) {
    return !(field == value);
}

} // namespace

TLCDScreen::TLCDScreen(QWidget* owner) : QWidget(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    FRefusal = [this](const QString& text) {
        QMessageBox::critical(window(), QStringLiteral("Error"), text, QMessageBox::Ok);
    };
    BuildTemplate();
    // The control starts at the size that fits its characters, so the first composition does
    // not take Qt's default widget size for a resize from outside.
    FWidth = FittedExtent(FNoOfChars, charw, FCharSpacing, FBorderSpace);
    FHeight = FittedExtent(FNoOfLines, charh, FLineSpacing, FBorderSpace);
    resize(FWidth, FHeight);
    Repaint();
}

TLCDScreen::~TLCDScreen() = default;

bool TLCDScreen::Refused(bool valid, const char* text) {
    if (!valid && FRefusal) {
        FRefusal(QString::fromUtf8(text));
    }
    return !valid;
}

void TLCDScreen::SetLines(const QStringList& lines) {
    FLines = lines;
    LinesChanged();
}

template <typename T>
bool TLCDScreen::Take(T& field, const T& value, bool valid, const char* refusal) {
    if (!Differs(field, value) || Refused(valid, refusal)) {
        return false;
    }
    field = value;
    return true;
}

void TLCDScreen::SetNoOfLines(int value) {
    if (Take(FNoOfLines, value, value >= 1, "Display needs at least one line!")) {
        Repaint();
    }
}

void TLCDScreen::SetNoOfChars(int value) {
    if (Take(FNoOfChars, value, value >= 1, "Display needs at least one character!")) {
        Repaint();
    }
}

void TLCDScreen::SetDotMatrix(TDotMatrix value) {
    if (Take(FDotMatrix, value)) {
        BuildTemplate();
        Repaint();
    }
}

void TLCDScreen::SetPixelSize(TPixelSize value) {
    if (Take(FPixelSize, value)) {
        BuildTemplate();
        Repaint();
    }
}

void TLCDScreen::SetPixelShape(TPixelShape value) {
    if (Take(FPixelShape, value)) {
        BuildTemplate();
        Repaint();
    }
}

void TLCDScreen::SetPixelWidth(int value) {
    if (FPixelSize == TPixelSize::pixCustom &&
        Take(FPixWidth, value, value >= 1, "Display pixel width must be 1 or greater!")) {
        BuildTemplate();
        Repaint();
    }
}

void TLCDScreen::SetPixelHeight(int value) {
    // The refusal text carries the instrument program's own spelling.
    if (FPixelSize == TPixelSize::pixCustom &&
        Take(FPixHeight, value, value >= 1, "Display pixel height must be 1 or greate!")) {
        BuildTemplate();
        Repaint();
    }
}

void TLCDScreen::SetPixelSpacing(int value) {
    if (Take(FPixelSpacing, value, value >= 0, "Pixel spacing can't be less than zero!")) {
        BuildTemplate();
        Repaint();
    }
}

void TLCDScreen::SetCharSpacing(int value) {
    if (Take(FCharSpacing, value, value >= 0, "Character spacing can't be less than zero!")) {
        Repaint();
    }
}

void TLCDScreen::SetLineSpacing(int value) {
    if (Take(FLineSpacing, value, value >= 0, "Line spacing can't be less than zero!")) {
        Repaint();
    }
}

void TLCDScreen::SetBorderSpace(int value) {
    if (Take(FBorderSpace, value, value >= 0, "Border spacing can't be less than zero!")) {
        Repaint();
    }
}

void TLCDScreen::SetBorderStyle(TLCDBorder value) {
    if (Take(FBorderStyle, value)) {
        Repaint();
    }
}

void TLCDScreen::SetBorderColor(const QColor& value) {
    if (Take(FBorderColor, value)) {
        Repaint();
    }
}

void TLCDScreen::SetColor(const QColor& value) {
    if (Take(FColor, value)) {
        BuildTemplate();
        Repaint();
    }
}

void TLCDScreen::SetPixelOn(const QColor& value) {
    if (Take(FPixOnColor, value)) {
        Repaint();
    }
}

void TLCDScreen::SetPixelOff(const QColor& value) {
    if (Take(FPixOffColor, value)) {
        BuildTemplate();
        Repaint();
    }
}

uint8_t TLCDScreen::DisplayCode(int line, int position) const {
    if (line < 0 || position < 0 || position >= FDisplayChars) {
        return ' ';
    }
    const size_t index = static_cast<size_t>(line) * static_cast<size_t>(FDisplayChars) +
                         static_cast<size_t>(position);
    return index < FDisplayLines.size() ? FDisplayLines[index] : ' ';
}

void TLCDScreen::LinesChanged() {
    FtempLines = FLines;
    while (FtempLines.size() < FNoOfLines) {
        FtempLines.append(QStringLiteral(" "));
    }
    for (QString& line : FtempLines) {
        if (!line.isEmpty()) {
            line.append(QLatin1Char(' '));
            while (line.size() < FNoOfChars) {
                line.append(QLatin1Char(' '));
            }
        }
    }
    Repaint();
}

void TLCDScreen::BuildTemplate() {
    ++FTemplateBuilds;
    const DotGrid grid = DotGridOf(FDotMatrix);
    pix_x = grid.Columns;
    pix_y = grid.Rows;
    if (FPixelSize != TPixelSize::pixCustom) {
        FPixWidth = FPixHeight = PresetDotSize(FPixelSize);
    }
    psx = FPixWidth;
    psy = FPixHeight;
    charw = GlyphExtent(pix_x, psx, FPixelSpacing);
    charh = GlyphExtent(pix_y, psy, FPixelSpacing);

    FVirginMatrixBitmap = QImage(charw, charh, QImage::Format_RGB32);
    FVirginMatrixBitmap.fill(FColor.rgb());
    const QRgb off = FPixOffColor.rgb();
    if (FPixelShape == TPixelShape::psRound && FPixelSize != TPixelSize::pix1x1) {
        QPainter painter(&FVirginMatrixBitmap);
        painter.setPen(Qt::NoPen);
        painter.setBrush(FPixOffColor);
        for (int row = 0; row < pix_y; ++row) {
            for (int column = 0; column < pix_x; ++column) {
                painter.drawEllipse(DotOrigin(column, psx, FPixelSpacing),
                                    DotOrigin(row, psy, FPixelSpacing), psx, psy);
            }
        }
        return;
    }
    for (int row = 0; row < pix_y; ++row) {
        for (int column = 0; column < pix_x; ++column) {
            FillRect(FVirginMatrixBitmap, DotOrigin(column, psx, FPixelSpacing),
                     DotOrigin(row, psy, FPixelSpacing), psx, psy, off);
        }
    }
}

void TLCDScreen::GeometryPass() {
    const bool resizedFromOutside = width() != FWidth || height() != FHeight;
    if (FPixelSize != TPixelSize::pixCustom) {
        FPixWidth = FPixHeight = PresetDotSize(FPixelSize);
    }
    psx = FPixWidth;
    psy = FPixHeight;
    charw = GlyphExtent(pix_x, psx, FPixelSpacing);
    charh = GlyphExtent(pix_y, psy, FPixelSpacing);
    if (resizedFromOutside) {
        FNoOfChars = GlyphsFitting(width(), charw, FCharSpacing, FBorderSpace);
        FNoOfLines = GlyphsFitting(height(), charh, FLineSpacing, FBorderSpace);
    }
    FWidth = FittedExtent(FNoOfChars, charw, FCharSpacing, FBorderSpace);
    FHeight = FittedExtent(FNoOfLines, charh, FLineSpacing, FBorderSpace);
    if (width() != FWidth || height() != FHeight) {
        resize(FWidth, FHeight);
    }
}

void TLCDScreen::FillDisplayLines() {
    FDisplayChars = FNoOfChars;
    FDisplayLines.assign(static_cast<size_t>(FNoOfLines) * static_cast<size_t>(FNoOfChars), ' ');
    for (int i = 0; i < FNoOfLines && i < FtempLines.size(); ++i) {
        const QList<uint> line = FtempLines[i].toUcs4();
        for (int j = 0; j < FNoOfChars && j < line.size(); ++j) {
            FDisplayLines[Cell(i, j)] = Cp1251FromUnicode(static_cast<char32_t>(line[j]));
        }
    }
}

void TLCDScreen::Repaint() {
    ++FRepaints;
    GeometryPass();
    FillDisplayLines();
    if (FPicture.width() != FWidth + 2 || FPicture.height() != FHeight + 2) {
        FPicture = QImage(FWidth + 2, FHeight + 2, QImage::Format_RGB32);
    }
    FPicture.fill(FColor.rgb());
    DrawBorder();
    if (isEnabled()) {
        for (int i = 0; i < FNoOfLines; ++i) {
            for (int j = 0; j < FNoOfChars; ++j) {
                DrawCharacter(GlyphOrigin(j, charw, FCharSpacing, FBorderSpace),
                              GlyphOrigin(i, charh, FLineSpacing, FBorderSpace),
                              FDisplayLines[Cell(i, j)]);
            }
        }
    }
    update();
}

void TLCDScreen::DrawBorder() {
    if (FBorderStyle == TLCDBorder::bsNone) {
        return;
    }
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    QColor frame = FBorderColor;
    QColor topLeft = FBorderColor;
    if (FBorderStyle == TLCDBorder::bsRaised) {
        frame = shadow;
        topLeft = highlight;
    } else if (FBorderStyle == TLCDBorder::bsLowered) {
        frame = highlight;
        topLeft = shadow;
    }
    QPainter painter(&FPicture);
    painter.setPen(frame);
    painter.drawRect(0, 0, FWidth - 1, FHeight - 1);
    painter.setPen(topLeft);
    painter.drawLine(0, 0, FWidth - 1, 0);
    painter.drawLine(0, 0, 0, FHeight - 1);
}

void TLCDScreen::DrawCharacter(int x, int y, uint8_t code) {
    Blit(FPicture, FVirginMatrixBitmap, x, y);
    if (code == ' ') {
        return;
    }
    const bool square = FPixelShape == TPixelShape::psSquare || FPixelSize == TPixelSize::pix1x1;
    if (square) {
        const QRgb on = FPixOnColor.rgb();
        for (int row = 0; row < pix_y; ++row) {
            for (int column = 0; column < pix_x; ++column) {
                if (GlyphDotLit(FDotMatrix, code, row, column)) {
                    FillRect(FPicture, x + DotOrigin(column, psx, FPixelSpacing),
                             y + DotOrigin(row, psy, FPixelSpacing), psx, psy, on);
                }
            }
        }
        return;
    }
    QPainter painter(&FPicture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FPixOnColor);
    for (int row = 0; row < pix_y; ++row) {
        for (int column = 0; column < pix_x; ++column) {
            if (!GlyphDotLit(FDotMatrix, code, row, column)) {
                continue;
            }
            const QRect dot(x + DotOrigin(column, psx, FPixelSpacing),
                            y + DotOrigin(row, psy, FPixelSpacing), psx, psy);
            if (FPixelShape == TPixelShape::psShaped) {
                painter.fillRect(dot, FPixOffColor);
            }
            painter.drawEllipse(dot);
        }
    }
}

void TLCDScreen::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, FPicture, 0, 0, FWidth, FHeight);
}

void TLCDScreen::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A size other than the one the geometry pass chose comes from outside: refit to it.
    if (size() != QSize(FWidth, FHeight)) {
        Repaint();
    }
}

void TLCDScreen::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        Repaint();
    }
}

} // namespace vr410
