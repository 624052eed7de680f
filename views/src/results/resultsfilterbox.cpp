#include "views/results/resultsfilterbox.h"

#include "views/base/menucommand.h"
#include "views/results/repeattreemodel.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

#include <climits>
#include <utility>

namespace {

// A number that may be emptied: an empty field is no bound ("any"), where a
// spin box would bring its last number back.
class BoundBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& input, int& pos) const override
    {
        return input.trimmed().isEmpty() ? QValidator::Acceptable : QSpinBox::validate(input, pos);
    }
    int valueFromText(const QString& text) const override
    {
        return text.trimmed().isEmpty() ? minimum() : QSpinBox::valueFromText(text);
    }
};

}  // namespace

ResultsFilterBox::ResultsFilterBox(RepeatTreeModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    setObjectName(QStringLiteral("filterBox"));
    const auto spin = [this](const QString& name, const QString& tip) {
        auto* box = new BoundBox(this);
        box->setObjectName(name);
        box->setRange(0, INT_MAX);
        box->setSpecialValueText(tr("any"));
        box->setToolTip(tip);
        connect(box, &QSpinBox::valueChanged, this, &ResultsFilterBox::apply);
        return box;
    };
    minLength_ = spin(QStringLiteral("filterMinLength"), tr("Shortest length shown"));
    maxLength_ = spin(QStringLiteral("filterMaxLength"), tr("Longest length shown"));
    minPairs_ = spin(QStringLiteral("filterMinPairs"), tr("Fewest pairs of a word shown"));
    word_ = new QLineEdit(this);
    word_->setObjectName(QStringLiteral("filterWord"));
    word_->setPlaceholderText(tr("word contains..."));
    word_->setClearButtonEnabled(true);
    connect(word_, &QLineEdit::textChanged, this, &ResultsFilterBox::apply);
    auto* reset = new QToolButton(this);
    reset->setObjectName(QStringLiteral("filterReset"));
    reset->setText(tr("Reset"));
    reset->setToolTip(tr("Show every result again"));
    connect(reset, &QToolButton::clicked, this, &ResultsFilterBox::reset);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(2);
    grid->addWidget(new QLabel(tr("Length"), this), 0, 0);
    grid->addWidget(minLength_, 0, 1);
    grid->addWidget(new QLabel(tr("to"), this), 0, 2);
    grid->addWidget(maxLength_, 0, 3);
    grid->addWidget(new QLabel(tr("Pairs"), this), 1, 0);
    grid->addWidget(minPairs_, 1, 1);
    grid->addWidget(reset, 1, 3);
    grid->addWidget(word_, 2, 0, 1, 4);
    hide();
}

void ResultsFilterBox::reset()
{
    minLength_->setValue(0);
    maxLength_->setValue(0);
    minPairs_->setValue(0);
    word_->clear();
}

void ResultsFilterBox::addShowCommand(QMenu* menu, int id)
{
    show_ = addMenuCommand(menu, id, tr("&Filter results"), true);
    show_->setCheckable(true);
    show_->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_F);
    connect(show_, &QAction::toggled, this, &ResultsFilterBox::setShown);
}

ResultsFilterBox::State ResultsFilterBox::state() const
{
    return {show_ != nullptr ? show_->isChecked() : !isHidden(), word_->text(), minLength_->value(),
            maxLength_->value(), minPairs_->value()};
}

void ResultsFilterBox::setState(const State& state)
{
    if (show_ != nullptr) {
        show_->setChecked(state.shown);
    } else {
        setShown(state.shown);
    }
    minLength_->setValue(state.minLength);
    maxLength_->setValue(state.maxLength);
    minPairs_->setValue(state.minPairs);
    word_->setText(state.word);
}

void ResultsFilterBox::setShown(bool shown)
{
    setVisible(shown);
    if (!shown) {
        reset();
    }
}

void ResultsFilterBox::apply()
{
    RepeatTreeModel::Filter filter;
    filter.minLength = minLength_->value();
    filter.maxLength = maxLength_->value() == 0 ? INT_MAX : maxLength_->value();
    filter.minPairs = minPairs_->value();
    filter.contains = word_->text().trimmed().toUpper().toStdString();
    model_.setFilter(std::move(filter));
}
