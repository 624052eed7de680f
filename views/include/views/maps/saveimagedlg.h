#pragma once

// The small dialog of the map's "Save image...": the width and height of the
// image in pixels (of 1/96 inch for PDF), kept in the map's own shape unless
// the user frees them (the map then fits the size and its names use the room
// left over), and whether its edges are smoothed.

#include "mapimage/diagrampainter.h"

#include <QDialog>
#include <QSize>

class QCheckBox;
class QSpinBox;

class CSaveImageDlg : public QDialog {
    Q_OBJECT

public:
    // `ownSize`: the map's size at its own scale, proposed when `options`
    // give none, and the shape kept.
    CSaveImageDlg(QWidget* parent, const tessaron::MapImageOptions& options, QSize ownSize);

    [[nodiscard]] tessaron::MapImageOptions options() const;

    [[nodiscard]] QSpinBox* widthField() const { return width_; }
    [[nodiscard]] QSpinBox* heightField() const { return height_; }
    [[nodiscard]] QCheckBox* keepShapeField() const { return keepShape_; }
    [[nodiscard]] QCheckBox* antialiasField() const { return antialias_; }

private:
    void follow(QSpinBox* changed, QSpinBox* other, double ratio);

    tessaron::MapImageOptions options_;
    QSize ownSize_;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QCheckBox* keepShape_ = nullptr;
    QCheckBox* antialias_ = nullptr;
    bool following_ = false;
};
