#include "panel/text_layer.h"

#include "platform/text_encoding.h"

namespace vr410 {
namespace {

constexpr int DesignCellWidth = 26;
constexpr int RowTop[Panel4::Rows] = {1, 56};
constexpr int RunTimeDotHeight = 6;

int DesignLeft(int column) {
    return (column - 1) * DesignCellWidth + 1;
}

} // namespace

Panel4::Panel4(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel4"));
    setFixedSize(601, 107);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    for (int row = 1; row <= Rows; ++row) {
        for (int column = 1; column <= Columns; ++column) {
            auto* cell = new TLCDScreen(this);
            cell->setObjectName(QStringLiteral("LCD%1%2").arg(row).arg(column, 2, 10, QChar('0')));
            cell->SetNoOfChars(1);
            cell->SetNoOfLines(1);
            cell->SetDotMatrix(TDotMatrix::Rus5x7);
            cell->SetPixelSize(TPixelSize::pixCustom);
            cell->SetPixelWidth(4);
            cell->SetPixelHeight(2);
            cell->SetBorderSpace(0);
            cell->SetBorderStyle(TLCDBorder::bsNone);
            cell->SetColor(Qt::black);
            cell->SetPixelOn(QColor(0, 128, 0));
            cell->SetPixelOff(Qt::black);
            cell->SetLines({QStringLiteral(" ")});
            cell->move(DesignLeft(column), RowTop[row - 1]);
            Cells_[row - 1][column - 1] = cell;
        }
    }
}

TLCDScreen* Panel4::Cell(int row, int column) const {
    if (row < 1 || row > Rows || column < 1 || column > Columns) {
        return nullptr;
    }
    return Cells_[row - 1][column - 1];
}

void Panel4::CLRDisp(int row) {
    if (row < 1 || row > Rows) {
        return;
    }
    for (int column = 1; column <= Columns; ++column) {
        TLCDScreen* cell = Cells_[row - 1][column - 1];
        cell->hide();
        cell->SetPixelHeight(RunTimeDotHeight);
        cell->setToolTip(QString());
        cell->SetLeft(DesignLeft(column));
    }
}

void Panel4::PrintText(int column, int row, int dotWidth, const std::string& text) {
    if (row < 1 || row > Rows) {
        return;
    }
    int position = column;
    for (char32_t character : DecodeUtf8(text)) {
        if (position > Columns) {
            break;
        }
        if (position >= 1) {
            TLCDScreen* cell = Cells_[row - 1][position - 1];
            // The left neighbour counts as it stands, hidden or not: its place and the width
            // of its last character.
            int left = 1;
            if (position > 1) {
                const TLCDScreen* before = Cells_[row - 1][position - 2];
                left = before->Left() + before->width();
            }
            // The width first: the cell resizes at once, and the next character starts where
            // this one now ends.
            cell->SetPixelWidth(dotWidth);
            cell->SetLeft(left);
            cell->SetLines({QString::fromUcs4(&character, 1)});
            cell->show();
        }
        ++position;
    }
}

std::string Panel4::RowText(int row) const {
    if (row < 1 || row > Rows) {
        return {};
    }
    std::string text;
    for (const TLCDScreen* cell : Cells_[row - 1]) {
        const QList<uint> line =
            cell->Lines().isEmpty() ? QList<uint>{} : cell->Lines()[0].toUcs4();
        text += cell->isHidden() || line.isEmpty() ? std::string(" ")
                                                   : EncodeUtf8(static_cast<char32_t>(line[0]));
    }
    return text;
}

} // namespace vr410
