#pragma once

// The small dialog of the map's "Save image...": how large the image is (a
// scale of the map's own 600 x 460, the size in pixels shown beside it) and
// whether its edges are smoothed.

#include "mapimage/diagrampainter.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;

class CSaveImageDlg : public QDialog {
    Q_OBJECT

public:
    CSaveImageDlg(QWidget* parent, const tessaron::MapImageOptions& options);

    [[nodiscard]] tessaron::MapImageOptions options() const;

    [[nodiscard]] QDoubleSpinBox* scaleField() const { return scale_; }
    [[nodiscard]] QCheckBox* antialiasField() const { return antialias_; }
    [[nodiscard]] QLabel* sizeLabel() const { return size_; }

private:
    void showSize();

    tessaron::MapImageOptions options_;
    QDoubleSpinBox* scale_ = nullptr;
    QCheckBox* antialias_ = nullptr;
    QLabel* size_ = nullptr;
};
