#include "badges/TFormCrachasAbertos.h"
#include "ui_TFormCrachasAbertos.h"

#include "config/Messages.h"
#include "config/ProgramFolder.h"
#include "config/RegionalFormats.h"
#include "data/TDM.h"
#include "desk/widgets/BuscaFoto.h"
#include "desk/widgets/KeyPreview.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QStyle>

TFormCrachasAbertos* FormCrachasAbertos = nullptr;
int wcracha = 0;
QString wcpf;

TFormCrachasAbertos::TFormCrachasAbertos(QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::TFormCrachasAbertos>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);

    ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    ui->btnImpressao->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));

    // Cells are bold, the title row keeps the window's regular font.
    ui->DBGrid1->horizontalHeader()->setFont(font());
    ui->DBGrid1->setColumns({
        {QStringLiteral("CRACHA"), QStringLiteral("CRACHA"), 50},
        {QStringLiteral("CPF"), QStringLiteral("CPF"), 90},
        {QStringLiteral("NOME"), QStringLiteral("NOME"), 220},
        {QStringLiteral("LOCALIDADE"), QStringLiteral("LOCALIDADE"), 160},
        {QStringLiteral("VISITADO"), QStringLiteral("VISITADO"), 90},
        {QStringLiteral("DATA_VISITA"), QStringLiteral("DATA VISITA"), 0},
        {QStringLiteral("HORA_VISITA"), QStringLiteral("HORA VISITA"), 0},
        {QStringLiteral("PORTARIA"), QStringLiteral("PORTARIA"), 200},
    });
    ui->DBGrid1->setDataSource(&DM->DS_CrachasAbertos);

    connect(ui->DBGrid1, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { guarded([&] { DBGrid1CellClick(index); }); });
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { guarded([&] { BitBtn1Click(); }); });
    // "Relatório" has no action.
    ui->Localiza->installEventFilter(this);
    new KeyPreview(this, [this](QWidget* target, QKeyEvent* event) { return FormKeyPress(target, event); });
}

TFormCrachasAbertos::~TFormCrachasAbertos()
{
    // The box loses the focus while the children go; that is no exit of the guard's.
    ui->Localiza->removeEventFilter(this);
    if (FormCrachasAbertos == this)
        FormCrachasAbertos = nullptr;
}

void TFormCrachasAbertos::done(int result)
{
    m_closing = true;
    FormClose();
    QDialog::done(result);
}

void TFormCrachasAbertos::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded([&] { FormShow(); });
}

bool TFormCrachasAbertos::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->Localiza && event->type() == QEvent::FocusOut && !m_closing) {
        // Only a move to another control of this window is an exit; the window losing
        // activation (a message box, another program) is not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            guarded([&] { LocalizaExit(); });
    }
    return QDialog::eventFilter(watched, event);
}

void TFormCrachasAbertos::FormShow()
{
    db::Query& query = DM->qryCrachasEmAberto;
    query.close();
    query.open();
    ui->Localiza->setText(QStringLiteral("0"));
    if (query.recordCount() == 0)
        ui->DBGrid1->setEnabled(false);
    ui->Localiza->setFocus();
    ui->Localiza->selectAll();
}

void TFormCrachasAbertos::FormClose()
{
    FormCrachasAbertos = nullptr;
}

bool TFormCrachasAbertos::FormKeyPress(QWidget* target, QKeyEvent* event)
{
    return enterAsTab(target, event);
}

void TFormCrachasAbertos::DBGrid1CellClick(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const db::Query& query = DM->qryCrachasEmAberto;
    wcracha = query.field(QStringLiteral("CRACHA")).asInteger();
    wcpf = query.field(QStringLiteral("CPF")).asString();
    BuscaFoto(query.field(QStringLiteral("FOTO")));
    ui->lblNome->setText(query.field(QStringLiteral("NOME")).asString());
    ui->Localiza->setText(QString::number(wcracha));
}

void TFormCrachasAbertos::LocalizaExit()
{
    db::Query& query = DM->qryCrachasEmAberto;
    // A text that is no whole number matches no badge, so the current row stays.
    bool isNumber = false;
    const int number = ui->Localiza->text().trimmed().toInt(&isNumber);
    if (isNumber)
        query.locate(QStringLiteral("CRACHA"), number);

    ui->Localiza->setText(query.field(QStringLiteral("CRACHA")).asString());
    ui->lblNome->setText(query.field(QStringLiteral("NOME")).asString());
    wcpf = query.field(QStringLiteral("CPF")).asString();
    wcracha = query.field(QStringLiteral("CRACHA")).asInteger();
    BuscaFoto(query.field(QStringLiteral("FOTO")));
}

void TFormCrachasAbertos::BitBtn1Click()
{
    if (ui->Localiza->text().isEmpty()) {
        Messages::error(QStringLiteral("Escolha ou digite o Número do Crachá para Baixa !!!"));
        return;
    }
    if (!Messages::confirm(QStringLiteral("Confirma o Retorno do Cracha ?")))
        return;

    try {
        DM->SP_DataHora_Server.execute();
        const RegionalFormats& formats = RegionalFormats::current();
        const QString horaSaida =
            formats.timeToText(DM->SP_DataHora_Server.output(QStringLiteral("HORA")).toTime());
        const QString dataSaida =
            formats.dateToText(DM->SP_DataHora_Server.output(QStringLiteral("DATA")).toDate());

        db::StoredProc& baixa = DM->SP_BaixaCracha;
        baixa.setParam(QStringLiteral("CPF"), wcpf);
        baixa.setParam(QStringLiteral("CRACHA"), wcracha);
        baixa.setParam(QStringLiteral("SITUACAO_CRACHA"), QStringLiteral("FECHADO"));
        baixa.setParam(QStringLiteral("DATA_SAIDA"), dataSaida);
        baixa.setParam(QStringLiteral("HORA_SAIDA"), horaSaida);
        baixa.execute();

        DM->qryCrachasEmAberto.refresh();
    } catch (const std::exception&) {
        Messages::error(QStringLiteral("Erro na Gravação e Baixa do Crachás."));
        return;
    }

    ui->Localiza->setText(QStringLiteral("0"));
    ui->Localiza->setFocus();
    ui->Localiza->selectAll();
    ui->lblNome->clear();
    ui->Foto->clear();
}

void TFormCrachasAbertos::BuscaFoto(const db::Field& field)
{
    if (field.isNull() || field.asBytes().isEmpty()) {
        ui->Foto->loadFromFile(ProgramFolder::file(QStringLiteral("SemFoto.jpg")));
        return;
    }
    ::BuscaFoto(field, *ui->Foto);
}
