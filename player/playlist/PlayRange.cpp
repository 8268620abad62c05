#include "player/playlist/PlayRange.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>

#include "common/TimeFields.h"
#include "platform/ui/ColorRef.h"
#include "player/playlist/LengthWait.h"
#include "player/playlist/MediaEntryLists.h"
#include "player/playlist/XCListCtrl.h"

namespace {

constexpr char kStartText[] = "Start";
constexpr char kEndText[] = "End";
constexpr char kApplyText[] = "Apply";
constexpr char kCancelText[] = "Cancel";

// Wide enough for digits digits of the field's font, with its frame and margins.
int FieldWidth(const QLineEdit& field, int digits) {
    QStyleOptionFrame frame;
    frame.initFrom(&field);
    frame.lineWidth = field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &field);
    const QFontMetrics metrics(field.font());
    // Two pixels either side of the text and one for the cursor, as the edit draws them.
    const QSize text(metrics.horizontalAdvance(QString(digits, '0')) + 5, metrics.height());
    return field.style()->sizeFromContents(QStyle::CT_LineEdit, &frame, text, &field).width();
}

}  // namespace

CPlayRange::CPlayRange(XCListCtrl& list, LengthWait& lengths, double& rangeEnd, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      list_(list),
      lengths_(lengths),
      rangeEnd_(rangeEnd) {
    setCursor(Qt::ArrowCursor);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, colorref::ToQColor(kDialogColor));
    colors.setColor(QPalette::WindowText, Qt::black);
    colors.setColor(QPalette::Base, colorref::ToQColor(kFieldColor));
    colors.setColor(QPalette::Text, Qt::black);
    setPalette(colors);
    setAutoFillBackground(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    auto* digitsOnly = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
    const char* const separators[] = {":", ":", "."};
    for (int half = 0; half < 2; ++half) {
        const int row = half * 2;
        grid->addWidget(new QLabel(half == 0 ? kStartText : kEndText, this), row, 0, 1, 7);
        for (int k = 0; k < 4; ++k) {
            auto* field = new QLineEdit(this);
            field->setObjectName(QString::number(kFirstField + half * 4 + k));
            field->setValidator(digitsOnly);
            field->setMaxLength(static_cast<int>(kTimeFieldChars));
            field->setFixedWidth(FieldWidth(*field, k == 3 ? 6 : 2));
            fields_[static_cast<size_t>(half * 4 + k)] = field;
            grid->addWidget(field, row + 1, k * 2);
            if (k < 3) grid->addWidget(new QLabel(separators[k], this), row + 1, k * 2 + 1);
        }
    }
    auto* apply = new QPushButton(kApplyText, this);
    auto* cancel = new QPushButton(kCancelText, this);
    apply->setDefault(true);
    apply->setAutoDefault(true);
    cancel->setAutoDefault(false);
    connect(apply, &QPushButton::clicked, this, &CPlayRange::accept);
    connect(cancel, &QPushButton::clicked, this, &CPlayRange::reject);
    grid->addWidget(apply, 1, 8);
    grid->addWidget(cancel, 3, 8);
    adjustSize();
}

CPlayRange::~CPlayRange() = default;

void CPlayRange::ShowSelection() {
    const std::vector<int> rows = list_.SelectedRows();
    if (rows.empty()) return;
    const MediaEntryLists& entries = list_.Entries();
    const int row = rows.front();
    const uint64_t id = entries.IdOf(row);
    // A new entry's length is asked first; the fields follow when it is in.
    const bool asked = lengths_.ForEntries({row}, [this, id, row] {
        const int now = list_.Entries().RowOf(id, row);
        if (now >= 0) Fill(list_.Entries().Entry(now));
    });
    if (!asked) Fill(entries.Entry(row));
}

void CPlayRange::Fill(const MediaEntry& entry) {
    if (!(entry.begin >= 0.0 && entry.end > 0.0)) return;
    const std::optional<TimeFieldTexts> begin = SplitTimeFields(entry.begin);
    const std::optional<TimeFieldTexts> end = SplitTimeFields(entry.end);
    if (!begin || !end) return;
    int k = 0;
    for (const TimeFieldTexts* time : {&*begin, &*end}) {
        for (const std::string* text :
             {&time->hours, &time->minutes, &time->seconds, &time->fraction})
            fields_[static_cast<size_t>(k++)]->setText(QString::fromStdString(*text));
    }
}

void CPlayRange::Present() {
    ShowSelection();
    if (QWidget* owner = parentWidget()) {
        const QRect over = owner->frameGeometry();
        move(over.left() + over.width() / 2 - width() / 2,
             over.top() + over.height() / 2 - height() / 2);
    }
    show();
    raise();
    activateWindow();
}

double CPlayRange::ReadTime(int firstField) const {
    std::array<std::string, 4> texts;
    for (int k = 0; k < 4; ++k)
        texts[static_cast<size_t>(k)] =
            fields_[static_cast<size_t>(firstField + k)]->text().toStdString();
    return JoinTimeFields(texts[0], texts[1], texts[2], texts[3]);
}

void CPlayRange::OnOK() {
    const double start = ReadTime(0), end = ReadTime(4);
    const std::vector<int> rows = list_.SelectedRows();
    QDialog::accept();
    if (!(end > start) || rows.empty()) return;
    const MediaEntryLists& entries = list_.Entries();
    std::vector<uint64_t> ids;
    std::vector<std::string> paths;
    for (int row : rows) {
        ids.push_back(entries.IdOf(row));
        paths.push_back(entries.Entry(row).path);
    }
    lengths_.ForFiles(paths, [this, rows, ids, start, end](const std::vector<double>& lengths) {
        // Where the rows stand now: a sort or a removal may have come meanwhile.
        std::vector<int> now;
        std::vector<double> theirs;
        for (size_t k = 0; k < ids.size(); ++k) {
            const int row = list_.Entries().RowOf(ids[k], rows[k]);
            if (row < 0) continue;
            now.push_back(row);
            theirs.push_back(lengths[k]);
        }
        ApplyRange(list_.Entries(), now, start, end, theirs, rangeEnd_);
    });
}

void CPlayRange::accept() { OnOK(); }

void CPlayRange::ApplyRange(MediaEntryLists& entries, const std::vector<int>& rows, double start,
                            double end, const std::vector<double>& lengths, double& rangeEnd) {
    if (!(end > start)) return;
    for (size_t k = 0; k < rows.size() && k < lengths.size(); ++k) {
        const int row = rows[k];
        if (row < 0 || row >= entries.Count()) continue;
        const std::optional<TrimmedRange> range =
            TrimFragment(start, end, lengths[k] > 0.0 ? lengths[k] : -1.0);
        if (!range) continue;
        if (row == entries.CurrentRow()) rangeEnd = range->end;
        entries.SetBegin(row, range->begin);
        entries.SetEnd(row, range->end);
    }
}
