#include "views/dialogs/helpdlg.h"

#include "views/base/prompts.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QtGlobal>

#ifndef TESSARON_VERSION
#define TESSARON_VERSION "unknown"
#endif

namespace {

const char* const kHowToRead = R"(
<h3>The tree</h3>
<p>The results come in four kinds. For a word read from one copy, the other
copy of the pair is:</p>
<ul>
<li><b>direct</b>: the same word again (AACGT &hellip; AACGT);</li>
<li><b>inverted</b>: its reverse complement, the word on the other strand (AACGT &hellip; ACGTT);</li>
<li><b>mirror</b>: the word read backwards (AACGT &hellip; TGCAA);</li>
<li><b>complementary</b>: its complement read in the same direction (AACGT &hellip; TTGCA).</li>
</ul>
<p>Under each kind come the lengths, under each length the words. Every
number in brackets counts <b>pairs</b> of copies: a word found three times
as a direct repeat makes three pairs. The lengths run from the shortest to
the longest set in <i>Options</i>; a repeat longer than the longest shows as
one pair per offset at the longest length.</p>
<h3>The sequence</h3>
<p>Selecting a word highlights both copies of every pair: the first copy in
<span style="color:#00d000"><b>green</b></span>; the second copy in green
for a direct repeat and in <span style="color:#e00000"><b>red</b></span>
for the other kinds. The genome is circular, so a copy may run over the end
into the start: both parts are highlighted. F3 and Shift+F3 step through
the copies. Letters other than A, C, G and T are gaps, shown in grey; no
repeat contains one. The numbers on the left give the position of each
row's first base, counted from 1. The status bar gives the position under
the mouse, the selection and the genome's length and GC content.</p>
<h3>The map</h3>
<p>For a GenBank genome, <i>Diagram</i> draws the genome as a circle with
position 1 at the top, the annotated features as arcs coloured by kind and
strand, and the selected repeat as dots joined by chords: one chord per
pair.</p>
)";

}  // namespace

QIcon programIcon()
{
    static const QIcon icon(QStringLiteral(":/tessaron.svg"));
    return icon;
}

QString aboutText()
{
    return QStringLiteral(
               "%1 %2\n\nFinds direct, inverted, mirror and complementary repeats in a circular "
               "genome.\n\nBuilt with Qt %3, running on Qt %4.")
        .arg(applicationName(), QStringLiteral(TESSARON_VERSION), QStringLiteral(QT_VERSION_STR),
             QString::fromLatin1(qVersion()));
}

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent), page_(new QTextBrowser)
{
    setWindowTitle(tr("How to read the results"));
    page_->setObjectName(QStringLiteral("helpPage"));
    page_->setHtml(QString::fromUtf8(kHowToRead));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(page_);
    layout->addWidget(buttons);
    resize(520, 480);
}
