#include "editor/teams/ImprimeEquipo.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRectF>
#include <QTimer>

#include "core/gamefiles/TeamFile.h"
#include "core/support/FixedText.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportPreview.h"
#include "editor/ui/StockMessages.h"
#include "editor/ui/StopProgram.h"

namespace kivo::editor {

namespace {

// The band is laid out 200 units across a portrait page.
constexpr double kBandWidth = 200.0;
// How long "Generating Report" stays up, so that "Cancel" can still stop the sheet.
constexpr int kProgressTickMs = 150;

QString Latin1(const std::string& text) {
    const std::string trimmed = TrimRight(text);
    return QString::fromLatin1(trimmed.data(), qsizetype(trimmed.size()));
}

void Text(QPainter& painter, double unit, const QRectF& page, int x, int y, const QString& text) {
    painter.drawText(QRectF(page.left() + x * unit, page.top() + y * unit, 80 * unit, 6 * unit),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

QFont SheetFont(const QString& family, double unit, double height, bool bold = false) {
    QFont font(family);
    font.setPixelSize(std::max(1, int(height * unit)));
    font.setBold(bold);
    return font;
}

// The scan of the file while the progress window is up: the share of the file that its first record covers.
struct Scan {
    bool recordRead = false;
    int percent = 0;
    std::optional<Error> error;
};

Scan ScanFirstRecord(const std::string& path) {
    Scan scan;
    Result<TeamFile> file = TeamFile::Open(path, TeamFile::Mode::ReadOnly);
    if (!file) {
        scan.error = file.error();
        return scan;
    }
    Result<std::uint64_t> count = file->CountTeams();
    if (!count) {
        scan.error = count.error();
        return scan;
    }
    // Reaching the end of the file at once is no error: there is just nothing to print.
    if (*count == 0) return scan;
    Result<TeamRecord> first = file->ReadTeam(0);
    if (!first) {
        scan.error = first.error();
        return scan;
    }
    scan.recordRead = true;
    const std::uint64_t header = IsCupFile(path) ? 0 : kLeagueHeaderSize;
    scan.percent = ScanPercent(header + kTeamRecordSize, header + kTeamRecordSize * *count);
    return scan;
}

} // namespace

bool PaintOn(QPrinter* printer, const TeamSheet& sheet) {
    QPainter painter(printer);
    // A printer that cannot start (none installed, a file that cannot be written) paints nothing.
    if (!painter.isActive()) return false;
    // The painter's origin is the top-left corner of the printable area.
    const QRectF area = printer->pageLayout().paintRectPixels(printer->resolution());
    PaintTeamSheet(painter, QRectF(QPointF(0, 0), area.size()), sheet);
    return painter.end();
}

void PaintTeamSheet(QPainter& painter, const QRectF& page, const TeamSheet& sheet) {
    const double unit = page.width() / kBandWidth;
    painter.save();
    painter.setPen(Qt::black);
    const QString arial = QStringLiteral("Arial");
    for (const SheetText& text : TeamSheetTexts(sheet)) {
        switch (text.style) {
        case SheetText::Style::TeamName:
            painter.setFont(SheetFont(arial, unit, 6, true));
            break;
        case SheetText::Style::Coach:
            painter.setFont(SheetFont(arial, unit, 4));
            break;
        case SheetText::Style::Heading:
            painter.setFont(SheetFont(arial, unit, 3.6, true));
            break;
        case SheetText::Style::Cell:
            painter.setFont(SheetFont(arial, unit, 3.4));
            break;
        }
        Text(painter, unit, page, text.x, text.y, Latin1(text.text));
    }
    painter.restore();
}

void ImprimeEquipo(QWidget* task, std::function<void()> done) {
    EditorState& g = Globals();
    Result<TeamRecord> team = ReadTeam(g.TeamFilePath, std::uint64_t(g.SelectedTeamIndex));
    if (!team) {
        ShowMessage({QStringLiteral("ERROR"), QString::fromStdString(team.error().text),
                     MessageIcon::Information, MessageButton::Ok, MessageButton::Ok},
                    task);
        StopProgram(QStringLiteral("Error Reading File"));
        return;
    }
    g.TeamRecordBuffer = *team;
    const TeamSheet sheet = BuildTeamSheet(*team);
    if (!UseTeamFile()) return;

    auto [window, adapter] = OpenProgressWindow(task, QStringLiteral("Generating Report"), true);
    ProgressState state;
    state.title = "Generating Report";
    state.status = " ";
    state.percent = 0;
    state.percentText = CompletedText(0);
    window->Show(state);
    const Scan scan = ScanFirstRecord(g.TeamFilePath);
    state.percent = scan.percent;
    state.percentText = CompletedText(scan.percent);
    window->Show(state);

    QPointer<QWidget> owner = task;
    QTimer::singleShot(kProgressTickMs, window, [window, owner, scan, sheet, done] {
        const bool cancelled = window->cancelled();
        CloseProgressWindow(window);
        auto finish = [done] {
            ReleaseTeamFile();
            if (done) done();
        };
        if (scan.error)
            RaiseStockMessage(StockMessage::RecordRetrieval, QString::fromStdString(scan.error->text),
                              QStringLiteral("Equipos"), {}, owner);
        if (cancelled || !scan.recordRead || !owner) {
            finish();
            return;
        }
        PreviewReport(
            owner,
            PagedReport{1, [sheet](QPainter& p, const QRect& page, int) { PaintTeamSheet(p, page, sheet); }},
            [sheet, finish, owner](bool print) {
                if (print && !PaintOn(SharedPrinter(), sheet))
                    ShowInformation(QStringLiteral("ERROR"),
                                    QStringLiteral("The report could not be printed."), owner);
                finish();
            });
    });
}

} // namespace kivo::editor
