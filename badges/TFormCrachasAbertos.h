#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class TFormCrachasAbertos;
}
namespace db {
class Field;
}
class QKeyEvent;
class QModelIndex;

// The open badges and their return. Created by the main window at each press of
// "Baixa de Crachás" and shown modally; it deletes itself when it closes.
class TFormCrachasAbertos : public QDialog
{
    Q_OBJECT

public:
    explicit TFormCrachasAbertos(QWidget* owner = nullptr);
    ~TFormCrachasAbertos() override;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormClose();
    bool FormKeyPress(QWidget* target, QKeyEvent* event);
    void DBGrid1CellClick(const QModelIndex& index);
    void LocalizaExit();
    void BitBtn1Click();
    void BuscaFoto(const db::Field& field);

    const std::unique_ptr<Ui::TFormCrachasAbertos> ui;
    bool m_closing = false;
};

// Set by the main window while the window is open; emptied when it closes.
extern TFormCrachasAbertos* FormCrachasAbertos;

// The last selection, kept from one opening of the window to the next: the badge
// number (0 when none) and the document of the open visit that holds it.
extern int wcracha;
extern QString wcpf;
