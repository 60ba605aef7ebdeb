#include "app/CAdapterDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/Translation.h"

namespace zorvek {

CAdapterDlg::CAdapterDlg(std::vector<AdapterListing> adapters, const std::string& current, QWidget* parent)
    : QDialog(parent), adapters_(std::move(adapters)) {
    setWindowTitle(zt(kAdapterDlgTitle));
    setObjectName(QStringLiteral("adapterChooser"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* intro = new QLabel(zt("Several adapters are attached. Choose the one connected to the siren;\n"
                                "the choice is remembered. Tools > Advanced > Adapter... changes it."),
                             this);
    table_ = new QTableWidget(static_cast<int>(adapters_.size()), 6, this);
    table_->setObjectName(QStringLiteral("adapterTable"));
    table_->setHorizontalHeaderLabels({zt("Serial number"), zt("Description"), zt("Chip type"), zt("Bus"),
                                       zt("Address"), zt("Status")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    int preselect = -1;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const AdapterListing& a = adapters_[static_cast<size_t>(row)];
        const QStringList cells = {a.serial.empty() ? QStringLiteral("-") : QString::fromStdString(a.serial),
                                   QString::fromStdString(a.description),
                                   QString::fromStdString(a.chip),
                                   QStringLiteral("%1").arg(a.bus, 3, 10, QLatin1Char('0')),
                                   QStringLiteral("%1").arg(a.address, 3, 10, QLatin1Char('0')),
                                   a.openable ? zt("usable") : zt(a.whyNot.c_str())};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (!choosable(a)) item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
            item->setToolTip(cells[5]);
            table_->setItem(row, column, item);
        }
        if (choosable(a) && (a.serial == current || preselect < 0)) preselect = row;
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { updateOk(); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] {
        if (selectedSerial()) accept();
    });
    if (preselect >= 0) table_->selectRow(preselect);
    updateOk();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(640, 120 + 30 * std::max(2, table_->rowCount()));
}

std::optional<std::string> CAdapterDlg::selectedSerial() const {
    const auto rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return std::nullopt;
    const AdapterListing& a = adapters_[static_cast<size_t>(rows.front().row())];
    if (!choosable(a)) return std::nullopt;
    return a.serial;
}

void CAdapterDlg::updateOk() {
    ok_->setEnabled(selectedSerial().has_value());
}

}  // namespace zorvek
