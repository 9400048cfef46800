// TLCDScreen: a dot-matrix character display drawn from the Rus5x7 glyph table. The panel uses
// it as a single-character cell; the whole picture is composed off screen at the moment a
// property changes and copied onto the widget in one block when Qt paints it.
#pragma once

#include "panel/lcd_geometry.h"

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

namespace vr410 {

class TLCDScreen : public QWidget {
    Q_OBJECT

  public:
    // Shows a refused property value; by default an error message box with an OK button.
    using RefusalHandler = std::function<void(const QString& text)>;

    explicit TLCDScreen(QWidget* owner = nullptr);
    ~TLCDScreen() override;

    // Every setter compares first and does nothing for the current value. Setters that change
    // the look rebuild the unlit template where the dots change and recompose the picture at
    // once, so Width and Height already follow within the call. Negative spacings, fewer than
    // one line or character and dot sizes below 1 are refused through the refusal handler.
    const QStringList& Lines() const { return FLines; }
    void SetLines(const QStringList& lines); // always recomposes
    int NoOfLines() const { return FNoOfLines; }
    void SetNoOfLines(int value);
    int NoOfChars() const { return FNoOfChars; }
    void SetNoOfChars(int value);
    TDotMatrix DotMatrix() const { return FDotMatrix; }
    void SetDotMatrix(TDotMatrix value);
    TPixelSize PixelSize() const { return FPixelSize; }
    void SetPixelSize(TPixelSize value);
    TPixelShape PixelShape() const { return FPixelShape; }
    void SetPixelShape(TPixelShape value);
    int PixelWidth() const { return FPixWidth; }
    void SetPixelWidth(int value); // ignored unless PixelSize is pixCustom
    int PixelHeight() const { return FPixHeight; }
    void SetPixelHeight(int value); // ignored unless PixelSize is pixCustom
    int PixelSpacing() const { return FPixelSpacing; }
    void SetPixelSpacing(int value);
    int CharSpacing() const { return FCharSpacing; }
    void SetCharSpacing(int value);
    int LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(int value);
    int BorderSpace() const { return FBorderSpace; }
    void SetBorderSpace(int value);
    TLCDBorder BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TLCDBorder value);
    QColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(const QColor& value);
    QColor Color() const { return FColor; }
    void SetColor(const QColor& value);
    QColor PixelOn() const { return FPixOnColor; }
    void SetPixelOn(const QColor& value);
    QColor PixelOff() const { return FPixOffColor; }
    void SetPixelOff(const QColor& value);

    // Scrolling is kept as properties only; the display never scrolls.
    bool ScrollActive() const { return FScrollActive; }
    void SetScrollActive(bool value) { FScrollActive = value; }
    TScrollMode ScrollMode() const { return FScrollMode; }
    void SetScrollMode(TScrollMode value) { FScrollMode = value; }
    TScrollDirection ScrollDirection() const { return FScrollDir; }
    void SetScrollDirection(TScrollDirection value) { FScrollDir = value; }
    int ScrollSpeed() const { return FScrollSpeed; }
    void SetScrollSpeed(int value) { FScrollSpeed = value; }

    int Left() const { return x(); }
    void SetLeft(int value) { move(value, y()); }

    void SetRefusalHandler(RefusalHandler handler) { FRefusal = std::move(handler); }

    // The composed picture ((Width + 2) x (Height + 2); the Width x Height part is shown), the
    // unlit template of one glyph, and the character codes drawn at the last composition.
    const QImage& Picture() const { return FPicture; }
    const QImage& VirginMatrix() const { return FVirginMatrixBitmap; }
    uint8_t DisplayCode(int line, int position) const;

    // How often the template was built and the picture composed since construction.
    int TemplateBuilds() const { return FTemplateBuilds; }
    int Repaints() const { return FRepaints; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    bool Refused(bool valid, const char* text);
    // Stores value in field unless the field already holds it or the value is refused (valid
    // false, refusal shown); true when the field changed.
    template <typename T>
    bool Take(T& field, const T& value, bool valid = true, const char* refusal = nullptr);
    void LinesChanged();
    void BuildTemplate();
    void Repaint();
    void GeometryPass();
    void FillDisplayLines();
    void DrawBorder();
    void DrawCharacter(int x, int y, uint8_t code);

    TPixelSize FPixelSize = TPixelSize::pix2x2;
    TPixelShape FPixelShape = TPixelShape::psSquare;
    TDotMatrix FDotMatrix = TDotMatrix::mat5x7;
    int FPixelSpacing = 1;
    int FCharSpacing = 1;
    int FLineSpacing = 1;
    int FBorderSpace = 3;
    int FNoOfLines = 1;
    int FNoOfChars = 10;
    QColor FColor{192, 192, 192};
    QColor FPixOnColor{0, 0, 0};
    QColor FPixOffColor{170, 170, 170};
    int FPixWidth = 2;
    int FPixHeight = 2;
    TLCDBorder FBorderStyle = TLCDBorder::bsLowered;
    QColor FBorderColor{0, 0, 0};
    int FWidth = 0;
    int FHeight = 0;
    int charw = 0;
    int charh = 0;
    int psx = 2;
    int psy = 2;
    int pix_x = 5;
    int pix_y = 7;
    QStringList FLines;
    QStringList FtempLines;
    std::vector<uint8_t> FDisplayLines; // FNoOfLines x FNoOfChars, row by row
    // The index in FDisplayLines of line i, character j (both from 0, inside the display).
    size_t Cell(int i, int j) const {
        return static_cast<size_t>(i) * static_cast<size_t>(FNoOfChars) + static_cast<size_t>(j);
    }
    int FDisplayChars = 0; // row length of FDisplayLines
    TScrollMode FScrollMode = TScrollMode::smIndependant;
    TScrollDirection FScrollDir = TScrollDirection::sdRighttoLeft;
    bool FScrollActive = false;
    int FScrollSpeed = 250;
    QImage FVirginMatrixBitmap;
    QImage FPicture;
    RefusalHandler FRefusal;
    int FTemplateBuilds = 0;
    int FRepaints = 0;
};

} // namespace vr410
