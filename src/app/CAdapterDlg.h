#pragma once
// Chooses the adapter that drives the siren when several are attached: one row
// per adapter with serial number, description, chip, bus and address. Adapters
// that cannot be used are listed with the reason and cannot be chosen.
#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "job/Translate.h"
#include "spi/AdapterListing.h"

class QTableWidget;
class QPushButton;

namespace zorvek {

inline constexpr const char* kAdapterDlgTitle = ZT("Choose Adapter");

class CAdapterDlg : public QDialog {
public:
    // `current` is preselected when it is listed.
    CAdapterDlg(std::vector<AdapterListing> adapters, const std::string& current, QWidget* parent = nullptr);
    // The serial number of the selected row, when it can be chosen.
    std::optional<std::string> selectedSerial() const;
    QTableWidget* table() const { return table_; }

private:
    static bool choosable(const AdapterListing& a) { return a.supported && !a.serial.empty(); }
    void updateOk();

    std::vector<AdapterListing> adapters_;
    QTableWidget* table_;
    QPushButton* ok_;
};

}  // namespace zorvek
