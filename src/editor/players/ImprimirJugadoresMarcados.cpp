#include "editor/players/ImprimirJugadoresMarcados.h"

#include <memory>

#include <QFont>
#include <QPainter>
#include <QPointer>
#include <QPrinter>

#include "core/players/MarkingPasses.h"
#include "core/players/PlayerDatabase.h"
#include "editor/ui/CheckOpen.h"
#include "editor/players/MarkingProgress.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportPreview.h"
#include "editor/ui/StockMessages.h"

namespace kivo::editor {

namespace {

// Where each cell starts and how wide it is, in character places of a line of kLineWidth places; numbers
// are right-aligned in their places.
struct Column {
    int at;
    int width;
    bool number;
};
constexpr int kLineWidth = 80;
constexpr int kLinesPerPage = 64;
constexpr Column kColumns[] = {
    {0, 3, true},   // Cty
    {5, 19, false}, // Team
    {26, 4, false}, // Div.
    {31, 4, false}, // Nat.
    {36, 2, true},  // N°
    {40, 4, false}, // Pos.
    {45, 2, true},  // PS
    {49, 2, true},  // SH
    {53, 2, true},  // HE
    {57, 2, true},  // TA
    {61, 2, true},  // BC
    {65, 2, true},  // SP
    {69, 2, true},  // FI
    {73, 5, false}, // Price
};
constexpr int kTeamColumn = 1;

QString Latin1(const std::string& text) {
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == ' ')
        trimmed.pop_back();
    return QString::fromLatin1(trimmed.data(), qsizetype(trimmed.size()));
}

struct ReportResult {
    std::optional<MarkedPlayersReport> report;
    // Made on the worker: a report of every player has tens of thousands.
    std::shared_ptr<std::vector<MarkedPlayerBlock>> blocks;
    std::string openFailure;
    std::string readFailure;
};

} // namespace

QStringList MarkedPlayersHeadings() {
    return {QStringLiteral("Cty"), QStringLiteral("Team"), QStringLiteral("Div."), QStringLiteral("Nat."),
            QStringLiteral("N°"),  QStringLiteral("Pos."), QStringLiteral("PS"),   QStringLiteral("SH"),
            QStringLiteral("HE"),  QStringLiteral("TA"),   QStringLiteral("BC"),   QStringLiteral("SP"),
            QStringLiteral("FI"),  QStringLiteral("Price")};
}

QString MarkedPlayersFooter(int page) {
    // A long report may pass page 9999; its numbers go on rather than starting again at 0.
    return QStringLiteral("Pág. ") + QString::number(page);
}

MarkedPlayerBlock MarkedPlayerBlockOf(const PlayerRow& row) {
    const PlayerRowTexts texts = RowTexts(row);
    MarkedPlayerBlock block;
    block.cells << QString::number(row.pais) << Latin1(texts.team) << Latin1(texts.division).left(1)
                << Latin1(texts.nationality) << QString::number(row.nroCamiseta) << Latin1(texts.position);
    for (std::uint8_t skill : row.skills)
        block.cells << QString::number(skill);
    block.cells << Latin1(texts.price);
    block.player = Latin1(texts.name);
    return block;
}

namespace {

constexpr int kHeaderLines = 6;
// Two lines a player, under the header and above the footer.
constexpr int kPlayersPerPage = (kLinesPerPage - kHeaderLines - 2) / 2;

void PaintPage(QPainter& p, const QRect& page, const QString& title,
               const std::vector<MarkedPlayerBlock>& blocks, int number) {
    // The page is cut into a fixed number of lines, so that every printer and the preview break the report
    // on the same players whatever their resolution.
    const int line = std::max(1, page.height() / kLinesPerPage);
    const double place = static_cast<double>(page.width()) / kLineWidth;
    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(std::max(1, std::min(line * 3 / 4, static_cast<int>(place * 1.4))));
    QFont bold = body;
    bold.setBold(true);
    QFont heading = bold;
    heading.setPixelSize(body.pixelSize() * 3 / 2);
    // Numbers end where their places end; texts start where theirs start and may use the gap after them.
    auto cell = [&](int column, int y, const QString& text) {
        const Column& c = kColumns[column];
        const int places = c.number ? c.width : c.width + 1;
        const QRect box(static_cast<int>(c.at * place), y, static_cast<int>(places * place), line);
        p.drawText(box, (c.number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
    };
    const QStringList headings = MarkedPlayersHeadings();
    p.setFont(heading);
    p.drawText(QRect(0, 0, page.width(), line * 2), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setFont(bold);
    for (int c = 0; c < headings.size(); ++c)
        cell(c, line * 3, headings[c]);
    cell(kTeamColumn, line * 4, QStringLiteral("Player"));
    p.drawLine(0, line * 5 + line / 2, page.width(), line * 5 + line / 2);
    int y = line * kHeaderLines;
    const std::size_t first = static_cast<std::size_t>(number - 1) * kPlayersPerPage;
    for (std::size_t next = first; next < first + kPlayersPerPage && next < blocks.size(); ++next) {
        const MarkedPlayerBlock& b = blocks[next];
        p.setFont(body);
        for (int c = 0; c < b.cells.size() && c < int(std::size(kColumns)); ++c)
            cell(c, y, b.cells[c]);
        p.setFont(bold);
        cell(kTeamColumn, y + line, b.player);
        y += line * 2;
    }
    p.setFont(body);
    p.drawText(QRect(0, page.height() - line, page.width(), line), Qt::AlignRight | Qt::AlignVCenter,
               MarkedPlayersFooter(number));
}

} // namespace

PagedReport MarkedPlayersPages(const QString& title,
                               std::shared_ptr<const std::vector<MarkedPlayerBlock>> blocks) {
    const auto count = static_cast<int>((blocks->size() + kPlayersPerPage - 1) / kPlayersPerPage);
    return {std::max(1, count), [title, blocks](QPainter& p, const QRect& page, int number) {
                PaintPage(p, page, title, *blocks, number);
            }};
}

int PaintMarkedPlayers(QPrinter* printer, const QString& title,
                       const std::vector<MarkedPlayerBlock>& blocks) {
    // The blocks are borrowed for the painting only.
    const PagedReport report = MarkedPlayersPages(
        title, std::shared_ptr<const std::vector<MarkedPlayerBlock>>(std::shared_ptr<void>(), &blocks));
    return PaintReport(printer, report) ? report.pages : 0;
}

void ImprimirJugadoresMarcados(QWidget* task, int mark, std::function<void()> done) {
    // A mark is one byte: a wider number would print another group, so it prints none.
    if (!task || mark < 0 || mark > 255) {
        if (done) done();
        return;
    }
    if (!UsePlayerDatabase()) {
        if (done) done();
        return;
    }
    const std::string path = PlayerDatabasePath();
    const auto m = static_cast<std::uint8_t>(mark);
    std::function<ReportResult(Progress&)> job = [path, m](Progress& progress) {
        ReportResult result;
        auto database = PlayerDatabase::Open(path, true);
        if (!database) {
            result.openFailure = database.error().text;
            return result;
        }
        HookedProgress hooked(progress);
        auto report = kivo::ImprimirJugadoresMarcados(*database, m, hooked);
        if (report) {
            result.blocks = std::make_shared<std::vector<MarkedPlayerBlock>>();
            result.blocks->reserve(report->rows.size());
            for (const PlayerListEntry& e : report->rows)
                result.blocks->push_back(MarkedPlayerBlockOf(e.row));
            result.report = std::move(*report);
        } else
            result.readFailure = report.error().text;
        return result;
    };
    std::function<void(ReportResult)> finish = [task = QPointer<QWidget>(task), done](ReportResult result) {
        ReleasePlayerDatabase();
        QWidget* parent = task ? task->window() : nullptr;
        if (!result.openFailure.empty())
            RaiseStockMessage(StockMessage::ViewOpen, StorageErrorText(result.openFailure), {}, {}, parent);
        else if (!result.readFailure.empty())
            RaiseStockMessage(StockMessage::RecordRetrieval, StorageErrorText(result.readFailure),
                              QStringLiteral("Jugadores"), {}, parent);
        if (!task || !result.report || result.report->cancelled || result.report->rows.empty()) {
            if (done) done();
            return;
        }
        std::shared_ptr<const std::vector<MarkedPlayerBlock>> blocks = std::move(result.blocks);
        const QString title = QString::fromStdString(result.report->title);
        PreviewReport(task, MarkedPlayersPages(title, blocks), [title, blocks, task, done](bool print) {
            // A printer that cannot be started (none installed, a file that cannot be written) says so.
            if (print && PaintMarkedPlayers(SharedPrinter(), title, *blocks) == 0)
                ShowInformation(QStringLiteral("ERROR"), QStringLiteral("The report could not be printed."),
                                task ? task->window() : nullptr);
            if (done) done();
        });
    };
    RunWithProgress<ReportResult>(task, QStringLiteral("Generating Report"), true, job, finish);
}

} // namespace kivo::editor
