#pragma once

// The bar under a sheet of more rows than a view can place at once: which
// rows the page shows ("Rows 1000001 to 2000000 of 143031379") and buttons
// to the first, previous, next and last page. Hidden while the table fits in
// one page.

#include <QWidget>

class CWebCalc;
class QLabel;
class QToolButton;

class SheetPager : public QWidget {
    Q_OBJECT

public:
    SheetPager(CWebCalc& sheet, QWidget* parent = nullptr);

    [[nodiscard]] QString text() const;

private:
    void update();
    void turn(int pages);

    CWebCalc& sheet_;
    QLabel* rows_ = nullptr;
    QToolButton* first_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* last_ = nullptr;
};
