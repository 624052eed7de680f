#pragma once

// The circular map window: modeless, with a 600 x 460 client area showing the
// map of the loaded GenBank genome and the occurrences of the repeat selected
// in the main window. Its pop-up menu saves the map as a PNG or SVG file.

#include "engine/repeatlist.h"
#include "input/feature.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QMenu;

class CDiagramDlg : public QDialog {
    Q_OBJECT

public:
    // Chooses the file to save to (empty when cancelled).
    using FileChooser = std::function<QString(QWidget* parent)>;
    // Tells the user that something went wrong.
    using Reporter = std::function<void(QWidget* parent, const QString& text)>;

    // `features` belong to the owner, who destroys this window before it
    // releases them. The window deletes itself once it is closed.
    CDiagramDlg(QWidget* parent, const tessaron::FeatureList& features);
    ~CDiagramDlg() override;
    CDiagramDlg(const CDiagramDlg&) = delete;
    CDiagramDlg& operator=(const CDiagramDlg&) = delete;

    void setPrompts(FileChooser chooser, Reporter reporter);

    // Marks the given repeat (none removes the marks) and repaints at once.
    void ShowRepeat(const tessaron::Repeat* repeat, std::span<const tessaron::RepeatPair> pairs);

    [[nodiscard]] bool hasRepeat() const { return repeat_.has_value(); }
    [[nodiscard]] std::span<const tessaron::RepeatPair> pairs() const { return pairs_; }

    // The map as the window shows it.
    [[nodiscard]] QImage image() const;
    // Asks for a file name and writes the map there; false when cancelled or
    // when the file cannot be written (the user is told).
    bool saveImage();
    // The window's pop-up menu with its one "Save image..." item.
    [[nodiscard]] std::unique_ptr<QMenu> contextMenu();

signals:
    // The user closed the window; it deletes itself afterwards.
    void closing();

public slots:
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const tessaron::FeatureList& features_;
    std::optional<tessaron::Repeat> repeat_;
    std::vector<tessaron::RepeatPair> pairs_;
    FileChooser chooser_;
    Reporter reporter_;
};
