#pragma once

// Opening a file by dropping it on a window: a drag of exactly one local file
// is accepted while the target accepts drops, and the file is handed on once
// the drop has ended, so that the source of the drag is not kept waiting.

#include <QObject>
#include <QString>

class QWidget;

class FileDropTarget : public QObject {
    Q_OBJECT

public:
    // Takes the drops on `window`.
    explicit FileDropTarget(QWidget* window);

    // While false (a job runs), drags are refused.
    void setAccepting(bool accepting) { accepting_ = accepting; }

signals:
    void dropped(const QString& file);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool accepting_ = true;
};
