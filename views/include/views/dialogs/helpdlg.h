#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>

class QTextBrowser;

// The program's icon, built into the program: every window shows it, also
// when the program runs from its build folder.
QIcon programIcon();

// What "About Tessaron" says: the program's version and the Qt it runs on.
QString aboutText();

// "How to read the results": a short page on the kinds, the pairs, the
// lengths, the colours and the map.
class CHelpDlg : public QDialog {
    Q_OBJECT

public:
    explicit CHelpDlg(QWidget* parent = nullptr);
    [[nodiscard]] QTextBrowser* page() const { return page_; }

private:
    QTextBrowser* page_;
};
