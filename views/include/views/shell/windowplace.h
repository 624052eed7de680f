#pragma once

// Keeps the main window where the user left it: its size, place and state
// and the results tree's width, written to the settings as the window closes
// and given back as the next window is made. A first start keeps the
// window's own first size.

#include <QObject>

class MainPanes;
class QWidget;
class SettingsStore;

class WindowPlace : public QObject {
    Q_OBJECT

public:
    // Restores the place kept in `settings`, if any; `window` owns this.
    WindowPlace(QWidget& window, MainPanes& panes, SettingsStore& settings);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    MainPanes& panes_;
    SettingsStore& settings_;
};
