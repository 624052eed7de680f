#pragma once

// Prompts that tests answer: messages are recorded, file choosers return what
// the test queued (an empty answer is a cancel).

#include "views/base/prompts.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

struct RecordedMessage {
    QString caption;
    QString text;
    Prompts::Icon icon = Prompts::Icon::None;
};

class TestPrompts : public Prompts {
public:
    void message(QWidget*, const QString& caption, const QString& text, Icon icon) override
    {
        messages.push_back({caption, text, icon});
    }
    QString openFile(QWidget*, const QString&, const QString& filter, const QString& folder) override
    {
        asked.push_back({filter, folder});
        return next();
    }
    QStringList openFiles(QWidget*, const QString&) override
    {
        if (fileLists.empty()) {
            return {};
        }
        QStringList chosen = fileLists.front();
        fileLists.pop_front();
        return chosen;
    }
    QString saveFile(QWidget*, const QString&, const QString& filter, const QString& folder) override
    {
        asked.push_back({filter, folder});
        return next();
    }
    QString saveFileIn(QWidget*, const QString&, const QString&, const QString& folder) override
    {
        folders.push_back(folder);
        return next();
    }
    std::optional<int> chooseItem(QWidget*, const QString&, const QString&, const QStringList& items,
                                  int preselected) override
    {
        itemLists.push_back(items);
        if (choices.empty()) {
            return preselected;
        }
        const std::optional<int> chosen = choices.front();
        choices.pop_front();
        return chosen;
    }
    std::optional<int> askNumber(QWidget*, const QString&, const QString&, int, int minimum,
                                 int maximum) override
    {
        if (numbers.empty()) {
            return std::nullopt;
        }
        const std::optional<int> answer = numbers.front();
        numbers.pop_front();
        numberRanges.push_back({minimum, maximum});
        return answer;
    }

    std::vector<RecordedMessage> messages;
    std::deque<QString> files;               // answers of openFile and saveFile
    std::deque<QStringList> fileLists;       // answers of openFiles
    std::deque<std::optional<int>> choices;  // answers of chooseItem (none: cancel); empty: the preselected
    std::vector<QStringList> itemLists;      // the lists chooseItem was shown
    std::vector<QString> folders;            // where saveFileIn started
    struct Chooser {
        QString filter;
        QString folder;
    };
    std::vector<Chooser> asked;                     // what openFile and saveFile were given
    std::deque<std::optional<int>> numbers;         // answers of askNumber (none: cancel)
    std::vector<std::pair<int, int>> numberRanges;  // the ranges it offered

private:
    QString next()
    {
        if (files.empty()) {
            return {};
        }
        QString file = files.front();
        files.pop_front();
        return file;
    }
};

// Installs TestPrompts for the life of the object and restores the previous ones.
class ScopedTestPrompts {
public:
    ScopedTestPrompts()
    {
        auto prompts = std::make_unique<TestPrompts>();
        prompts_ = prompts.get();
        previous_ = Prompts::install(std::move(prompts));
    }
    ~ScopedTestPrompts() { Prompts::install(std::move(previous_)); }
    ScopedTestPrompts(const ScopedTestPrompts&) = delete;
    ScopedTestPrompts& operator=(const ScopedTestPrompts&) = delete;

    TestPrompts* operator->() const { return prompts_; }
    TestPrompts& operator*() const { return *prompts_; }

private:
    TestPrompts* prompts_ = nullptr;
    std::unique_ptr<Prompts> previous_;
};
