#include "desk/TFormPrincipal.h"

#include "ui_TFormPrincipal.h"

#include "badges/TFormCrachasAbertos.h"
#include "config/BoolText.h"
#include "config/IniFile.h"
#include "config/Messages.h"
#include "config/ProgramFolder.h"
#include "config/RegionalFormats.h"
#include "data/TDM.h"
#include "desk/CameraPropertiesDialog.h"
#include "desk/FixedFiles.h"
#include "desk/SecondaryWindow.h"
#include "desk/WavPlayer.h"
#include "desk/ZebraLabel.h"
#include "desk/widgets/BuscaFoto.h"
#include "desk/widgets/KeyPreview.h"
#include "desk/widgets/UpperCaseValidator.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStyle>

#include <stdexcept>

QString NomePortaria;
bool LiberaSaida = false;
QString CrachaUnico;

TFormPrincipal* FormPrincipal = nullptr;

namespace {

const QString kParametros = QStringLiteral("Parametros");

// A text read as a decimal integer; anything else is a conversion error for the
// standard error box.
int textToInteger(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    bool ok = false;
    const int value = decimal.match(text).hasMatch() ? text.toInt(&ok, 10) : 0;
    if (!ok)
        throw std::runtime_error(
            QStringLiteral("'%1' não é um valor inteiro válido").arg(text).toStdString());
    return value;
}

} // namespace

TFormPrincipal::TFormPrincipal(QWidget* parent, CapturePlatform* cameras)
    : QWidget(parent), SoundFile(kWarningSoundFile), ui(std::make_unique<Ui::TFormPrincipal>()),
      m_now([] { return QDateTime::currentDateTime(); }), m_quit([] { QCoreApplication::exit(0); }),
      m_playSound([](const QString& file) { playWavAndWait(file, std::chrono::seconds(10)); }),
      m_chooseFile([this] {
          return QFileDialog::getOpenFileName(
              this, {}, {}, // File names here are case-sensitive: each entry takes both cases.
              QStringLiteral("*.jpg (*.JPG *.jpg);;*.jpeg (*.JPEG *.jpeg)"));
      })
{
    ui->setupUi(this);
    setupControls();
    connectHandlers();
    FormPrincipal = this;
    FormCreate(cameras);
}

TFormPrincipal::~TFormPrincipal()
{
    // Destroying the controls moves the focus; that is no exit of the document field.
    disconnect(m_focusChanged);
    if (FormPrincipal == this)
        FormPrincipal = nullptr;
}

QString TFormPrincipal::Remove(const QString& text)
{
    QString key;
    key.reserve(text.size());
    for (const QChar c : text) {
        if (c != u'-' && c != u'.' && c != u',' && c != u'/')
            key.append(c);
    }
    return key;
}

void TFormPrincipal::setupControls()
{
    for (QLineEdit* edit : {ui->txtDocto, ui->txtNome, ui->txtEmpresa, ui->txtDoctoComplementar,
                            ui->txtPessoaVisitar, ui->txtLiberadorPor, ui->txtCracha})
        makeUpperCase(edit);

    auto* group = new QButtonGroup(ui->rgTipo);
    group->setObjectName(QStringLiteral("rgTipoGroup"));
    group->addButton(ui->rgTipoItem0, 0);
    group->addButton(ui->rgTipoItem1, 1);
    group->addButton(ui->rgTipoItem2, 2);

    ui->ComboBox1->setEditText(QStringLiteral("ComboBox1"));

    // The icons come from the style, so they follow the program's look.
    const struct
    {
        QToolButton* button;
        QStyle::StandardPixmap icon;
    } icons[] = {
        {ui->btnLocalizar, QStyle::SP_FileDialogContentsView},
        {ui->btnGravar, QStyle::SP_DialogSaveButton},
        {ui->btnLocalizaNome, QStyle::SP_FileDialogDetailedView},
        {ui->btnLocalizaEmpresa, QStyle::SP_DirIcon},
        {ui->btnLocalizaCrachaPlaca, QStyle::SP_FileDialogInfoView},
        {ui->btnCancela, QStyle::SP_DialogCancelButton},
        {ui->btnFichaVisitas, QStyle::SP_FileIcon},
        {ui->btnEtiqueta, QStyle::SP_DriveFDIcon},
        {ui->btnBaixa, QStyle::SP_DialogApplyButton},
        {ui->btnFechar, QStyle::SP_DialogCloseButton},
        {ui->btnRelatorios, QStyle::SP_FileDialogListView},
    };
    for (const auto& entry : icons)
        entry.button->setIcon(style()->standardIcon(entry.icon));
    ui->btnGravar->setIconSize(QSize(32, 32));

    // The footer shows the gatehouse name in highlight text on the highlight colour,
    // which stays readable under any palette.
    ui->pnlRodape->setBackgroundRole(QPalette::Highlight);
    ui->lblPortaria->setForegroundRole(QPalette::HighlightedText);

    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();

    if (DM)
        ui->DBLookupComboBox_Localidades->setListSource(&DM->DS_Localidades, QStringLiteral("LOCALIDADE"),
                                                        QStringLiteral("ID"));

    m_keyPreview = new KeyPreview(
        this, [this](QWidget* target, QKeyEvent* event) { return FormKeyPress(target, event); });
}

void TFormPrincipal::connectHandlers()
{
    // Every handler runs guarded: an escaping error goes to the standard error box and
    // the window carries on.
    const auto on = [this](void (TFormPrincipal::*handler)()) {
        return [this, handler] {
            guarded([this, handler] { (this->*handler)(); });
        };
    };
    connect(ui->btnLocalizar, &QToolButton::clicked, this, on(&TFormPrincipal::btnLocalizarClick));
    connect(ui->btnGravar, &QToolButton::clicked, this, on(&TFormPrincipal::btnGravarClick));
    connect(ui->btnCancela, &QToolButton::clicked, this, on(&TFormPrincipal::btnCancelaClick));
    connect(ui->btnFechar, &QToolButton::clicked, this, on(&TFormPrincipal::btnFecharClick));
    connect(ui->btnEtiqueta, &QToolButton::clicked, this, on(&TFormPrincipal::btnEtiquetaClick));
    connect(ui->btnBaixa, &QToolButton::clicked, this, on(&TFormPrincipal::btnBaixaClick));
    connect(ui->btnLocalizaNome, &QToolButton::clicked, this, on(&TFormPrincipal::btnLocalizaNomeClick));
    connect(ui->btnLocalizaEmpresa, &QToolButton::clicked, this,
            on(&TFormPrincipal::btnLocalizaEmpresaClick));
    connect(ui->btnLocalizaCrachaPlaca, &QToolButton::clicked, this,
            on(&TFormPrincipal::btnLocalizaCrachaPlacaClick));
    connect(ui->btnRelatorios, &QToolButton::clicked, this, on(&TFormPrincipal::btnRelatoriosClick));
    connect(ui->btnStart, &QPushButton::clicked, this, on(&TFormPrincipal::btnStartClick));
    connect(ui->btnStop, &QPushButton::clicked, this, on(&TFormPrincipal::btnStopClick));
    connect(ui->btnPropriedades, &QPushButton::clicked, this, on(&TFormPrincipal::btnPropriedadesClick));
    connect(ui->btnCaptura, &QPushButton::clicked, this, on(&TFormPrincipal::btnCapturaClick));
    connect(ui->cboSize, &QComboBox::activated, this, on(&TFormPrincipal::cboSizeChange));
    connect(ui->imgWebCam, &PhotoBox::doubleClicked, this, on(&TFormPrincipal::imgWebCamDblClick));

    auto* group = ui->rgTipo->findChild<QButtonGroup*>(QStringLiteral("rgTipoGroup"));
    connect(group, &QButtonGroup::idClicked, this, on(&TFormPrincipal::rgTipoClick));

    // The document field's exit: the focus went from it to another control of this
    // window (not to a message box or another program).
    m_focusChanged = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old == ui->txtDocto && now && now->window() == this)
            guarded([this] { txtDoctoExit(); });
    });
}

// Start-up and shut-down

void TFormPrincipal::FormCreate(CapturePlatform* cameras)
{
    Activated = false;
    VideoImage = std::make_unique<TVideoImage>(cameras);
    // Frames are drawn unscaled on the live box's own 320 x 240 bitmap.
    m_liveCanvas = QImage(ui->imgWebCam->size(), QImage::Format_BGR888);
    m_liveCanvas.fill(Qt::black);
    VideoImage->SetDisplayCanvas(&m_liveCanvas, [this] { ui->imgWebCam->setBitmap(m_liveCanvas); });
    VideoImage->SetExceptionReport([](const std::exception& e) { showStandardError(e); });
    VideoImage->SetPropertyDialog([this](const QString& caption, CaptureProperties& properties) {
        CameraPropertiesDialog dialog(caption, properties, this);
        dialog.exec();
    });
    guarded([this] { LeParametros(); });
}

void TFormPrincipal::LeParametros()
{
    // One window per run: a second window in the same process starts from the values
    // a fresh start has.
    NomePortaria.clear();
    LiberaSaida = false;
    CrachaUnico.clear();

    const IniFile ini(ProgramFolder::file(QStringLiteral("Conexao.ini")));
    NomePortaria = ini.readString(kParametros, QStringLiteral("NomePortaria"));
    PortaEtiqueta = ini.readString(kParametros, QStringLiteral("PortaEtiqueta"));
    ImprimeEtiqueta = ini.readString(kParametros, QStringLiteral("ImprimeEtiqueta"));
    // A bad value stops the reading here: CrachaUnico stays empty and the caption and
    // label button stay as designed.
    LiberaSaida =
        boolFromText(ini.readString(kParametros, QStringLiteral("LiberaSaida")), RegionalFormats::current());
    CrachaUnico = ini.readString(kParametros, QStringLiteral("CrachaUnico"));

    ui->lblPortaria->setText(NomePortaria);
    ui->lblPortaria->adjustSize();
    if (ImprimeEtiqueta == QLatin1String("SIM"))
        ui->btnEtiqueta->setVisible(true);
}

void TFormPrincipal::FormShow()
{
    DM->qryLocalidades.open();
}

void TFormPrincipal::FormActivate()
{
    if (Activated)
        return;
    Activated = true;
    QStringList devices;
    VideoImage->GetListOfDevices(devices);
    if (!devices.isEmpty()) {
        ui->ComboBox1->clear();
        ui->ComboBox1->addItems(devices);
        ui->ComboBox1->setCurrentIndex(0);
        ui->btnStart->setEnabled(true);
        return;
    }
    setWindowTitle(QStringLiteral("Vexorin  [Não foi encontrado WebCam]"));
    Messages::error(QStringLiteral("Não há serviço de webcam ativo.\nFechando aplicação."));
}

bool TFormPrincipal::FormKeyPress(QWidget* target, QKeyEvent* event)
{
    return enterAsTab(target, event);
}

void TFormPrincipal::FormClose()
{
    guarded([this] { VideoImage->VideoStop(); });
    FechaAplicacao();
}

void TFormPrincipal::btnFecharClick()
{
    FechaAplicacao();
}

void TFormPrincipal::FechaAplicacao()
{
    bool openBadges = false;
    // The warning cannot hold the program back: a failing query is reported and the
    // program still ends.
    guarded([&] {
        db::Query& query = DM->qryCrachasEmAberto;
        query.close();
        query.open();
        query.first();
        openBadges = query.recordCount() > 0;
    });
    if (openBadges) {
        m_playSound(SoundFile);
        Messages::information(QStringLiteral("ATENÇÃO - Existem Crachás em Aberto !!!"));
    }
    m_quit();
}

bool TFormPrincipal::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        guarded([this] { FormActivate(); });
    return QWidget::event(event);
}

void TFormPrincipal::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        guarded([this] { FormShow(); });
        ui->txtDocto->setFocus();
    }
}

void TFormPrincipal::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TFormPrincipal::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The two panels are aligned to the top and the bottom edge of the window.
    ui->pnlTopo->setGeometry(0, 0, width(), ui->pnlTopo->height());
    ui->pnlRodape->setGeometry(0, height() - ui->pnlRodape->height(), width(), ui->pnlRodape->height());
}

// Field rules

int TFormPrincipal::tipoIndex() const
{
    const auto* group = ui->rgTipo->findChild<QButtonGroup*>(QStringLiteral("rgTipoGroup"));
    return group->checkedId();
}

void TFormPrincipal::setTipoIndex(int index)
{
    auto* group = ui->rgTipo->findChild<QButtonGroup*>(QStringLiteral("rgTipoGroup"));
    // An out-of-range type is clamped, as a radio group does with its item index.
    index = std::min(index, int(group->buttons().size()) - 1);
    if (index < 0) {
        group->setExclusive(false);
        if (QAbstractButton* checked = group->checkedButton())
            checked->setChecked(false);
        group->setExclusive(true);
        return;
    }
    group->button(index)->setChecked(true);
}

void TFormPrincipal::AtivaDesativaVectoIntegracao()
{
    const bool visible = tipoIndex() != 0;
    ui->Label15->setVisible(visible);
    ui->mskVectoIntegracao->setVisible(visible);
}

void TFormPrincipal::rgTipoClick()
{
    AtivaDesativaVectoIntegracao();
}

void TFormPrincipal::LimpaDados()
{
    ui->txtDocto->clear();
    clearVisitFields();
    ui->txtDocto->setFocus();
}

void TFormPrincipal::clearVisitFields()
{
    for (QLineEdit* edit : {ui->txtNome, ui->txtEmpresa, ui->txtTelefone, ui->txtDoctoComplementar,
                            ui->txtPessoaVisitar, ui->txtLiberadorPor, ui->txtCracha})
        edit->clear();
    ui->txtObs->clear();
    ui->imgFotoCapturada->clear();
}

void TFormPrincipal::btnCancelaClick()
{
    LimpaDados();
}

// Lookup by document

void TFormPrincipal::txtDoctoExit()
{
    // The lookup moves the focus out of the document field itself; that exit is part
    // of the lookup already running, not a new one.
    if (m_lookupRunning)
        return;
    btnLocalizarClick();
}

void TFormPrincipal::btnLocalizarClick()
{
    const bool outer = !m_lookupRunning;
    m_lookupRunning = true;
    const auto reset = qScopeGuard([this, outer] {
        if (outer)
            m_lookupRunning = false;
    });

    db::Query& query = DM->qryLocaliza;
    query.close();
    query.setParam(QStringLiteral("CPF"), Remove(ui->txtDocto->text()));
    query.open();
    query.first();
    if (query.recordCount() == 0) {
        NaoEncontrouVisitante();
        return;
    }

    // The photograph first: one that does not decode stops the lookup before any text
    // field changes.
    BuscaFoto(query.field(QStringLiteral("FOTO")), *ui->imgFotoCapturada);
    ui->txtNome->setText(query.field(QStringLiteral("NOME")).asString());
    ui->txtDocto->setText(query.field(QStringLiteral("CPF")).asString());
    ui->txtEmpresa->setText(query.field(QStringLiteral("EMPRESA")).asString());
    ui->txtTelefone->setText(query.field(QStringLiteral("TELEFONE")).asString());
    ui->txtDoctoComplementar->setText(query.field(QStringLiteral("RG")).asString());
    ui->DBLookupComboBox_Localidades->setKeyValue(
        query.field(QStringLiteral("ID_LOCAL_VISITADO")).asInteger());
    ui->txtPessoaVisitar->setText(query.field(QStringLiteral("VISITADO")).asString());
    ui->txtObs->setPlainText(query.field(QStringLiteral("OBS")).asString());
    const int tipo = query.field(QStringLiteral("TIPO")).asInteger();
    setTipoIndex(tipo);
    const QDate vecto = query.field(QStringLiteral("VECTO_INTEGRACAO")).asDate();
    ui->mskVectoIntegracao->setMaskedText(RegionalFormats::current().dateToText(vecto));

    AtivaDesativaVectoIntegracao();

    // A stored date counts from midnight at its start, so today's date has run out.
    if (tipo == 1 && QDateTime(vecto, QTime(0, 0)) <= m_now())
        Messages::warning(
            QStringLiteral("Prestador de Serviço com Data de Integração vencida.\n"
                           "Compareça ao Cadastramento para regularização do seu Cadastro !!!"));

    ui->txtPessoaVisitar->setFocus();
}

void TFormPrincipal::NaoEncontrouVisitante()
{
    Messages::error(
        QStringLiteral("Visitante não encontrado com esse Documento.\n Cadastro como um novo Visitante."));
    clearVisitFields();
    ui->txtNome->setFocus();
}

// Registering a visit

void TFormPrincipal::btnGravarClick()
{
    if (ui->imgFotoCapturada->isEmpty())
        ui->imgFotoCapturada->loadFromFile(ProgramFolder::file(QStringLiteral("SemFoto.jpg")));

    if (ui->txtDocto->text().trimmed().isEmpty()) {
        Messages::error(QStringLiteral("O número do CPF/RG não pode ser nulo !!!"));
        ui->txtDocto->setFocus();
        return;
    }
    if (LiberaSaida && ui->txtCracha->text().isEmpty()) {
        Messages::error(QStringLiteral("Insira um número de Crachá válido para o seu visitante !!!"));
        ui->txtCracha->setFocus();
        return;
    }
    if (ui->DBLookupComboBox_Localidades->text().isEmpty()) {
        Messages::error(QStringLiteral("Escolha alguma Localidade para ser Visitada !!!"));
        ui->DBLookupComboBox_Localidades->showPopup();
        return;
    }
    // The badge is read here whatever CrachaUnico says, so that a badge that is not a
    // number stops the save before anything is written. With any value other than
    // "SIM" the uniqueness test is skipped and the visit is saved.
    const int cracha = textToInteger(ui->txtCracha->text());
    if (CrachaUnico == QLatin1String("SIM") && VerificaCrachaAberto(cracha)) {
        Messages::error(QStringLiteral("ATENÇÃO - Número de Crachá já cadastrado.!!!"));
        return;
    }
    GravaVisitante();
}

bool TFormPrincipal::VerificaCrachaAberto(int cracha)
{
    db::Query& query = DM->qryNroCrachaAberto;
    query.close();
    query.setParam(QStringLiteral("CRACHA"), cracha);
    query.open();
    query.first();
    return query.recordCount() > 0;
}

void TFormPrincipal::GravaVisitante()
{
    // Everything that can fail to convert is read before the first procedure runs, so
    // such a failure writes nothing.
    const QByteArray foto = ui->imgFotoCapturada->toJpeg();
    const QString cpf = Remove(ui->txtDocto->text());
    const int local = ui->DBLookupComboBox_Localidades->keyValue().toInt();
    const QDate vecto = RegionalFormats::current().textToDate(ui->mskVectoIntegracao->maskedText());
    const int cracha = textToInteger(ui->txtCracha->text());

    db::StoredProc& visitante = DM->SP_INS_UDP_VISITANTES;
    visitante.setParam(QStringLiteral("CPF"), cpf);
    visitante.setParam(QStringLiteral("NOME"), ui->txtNome->text());
    visitante.setParam(QStringLiteral("EMPRESA"), ui->txtEmpresa->text());
    visitante.setParam(QStringLiteral("TELEFONE"), ui->txtTelefone->text());
    visitante.setParam(QStringLiteral("RG"), ui->txtDoctoComplementar->text());
    visitante.setParam(QStringLiteral("ID_LOCAL_VISITADO"), local);
    visitante.setParam(QStringLiteral("VISITADO"), ui->txtPessoaVisitar->text());
    visitante.setParam(QStringLiteral("FOTO"), foto);
    visitante.setParam(QStringLiteral("OBS"), ui->txtObs->toPlainText());
    visitante.setParam(QStringLiteral("TIPO"), tipoIndex());
    visitante.setParam(QStringLiteral("VECTO_INTEGRACAO"), vecto);
    visitante.execute();

    db::StoredProc& agora = DM->SP_DataHora_Server;
    agora.execute();
    const QDate data = agora.output(QStringLiteral("DATA")).toDate();
    const QTime hora = agora.output(QStringLiteral("HORA")).toTime();

    db::StoredProc& visita = DM->SP_GravaVisita;
    visita.setParam(QStringLiteral("CPF"), cpf);
    visita.setParam(QStringLiteral("ID_LOCAL_VISITADO"), local);
    visita.setParam(QStringLiteral("VISITADO"), ui->txtPessoaVisitar->text());
    visita.setParam(QStringLiteral("DATA_VISITA"), data);
    visita.setParam(QStringLiteral("HORA_VISITA"), hora);
    visita.setParam(QStringLiteral("CRACHA"), cracha);
    visita.setParam(QStringLiteral("SITUACAO_CRACHA"), QStringLiteral("ABERTO"));
    visita.setParam(QStringLiteral("PORTARIA"), ui->lblPortaria->text());
    visita.setParam(QStringLiteral("LIBERADO_POR"), ui->txtLiberadorPor->text());
    visita.execute();

    Messages::information(QStringLiteral("Visita Registrado com Sucesso !!!"), QStringLiteral("Salvar"));
    LimpaDados();
}

// Badge label

void TFormPrincipal::btnEtiquetaClick()
{
    if (ui->txtDocto->text().isEmpty()) {
        Messages::information(QStringLiteral("Coloque algum Nro de Docto que já esteja cadastrado. !!!"));
        ui->txtDocto->setFocus();
        return;
    }
    Etiqueta_Zebra();
}

void TFormPrincipal::Etiqueta_Zebra()
{
    ZebraLabel label;
    label.nome = ui->txtNome->text();
    label.docto = ui->txtDocto->text();
    label.localidade = ui->DBLookupComboBox_Localidades->text();
    label.data = RegionalFormats::current().dateToText(m_now().date());
    ZebraLabel::write(PortaEtiqueta, label.bytes());
}

// Secondary windows

void TFormPrincipal::btnBaixaClick()
{
    openSecondaryWindow(FormCrachasAbertos, this,
                        QStringLiteral("Erro ao tentar exibir o Formulário de Baixa de Crachas !!"));
}

// The search and report windows are not part of the program yet: until they are, their
// buttons open nothing. Their failure texts, for when they arrive:
//   btnLocalizaNome        "Erro ao tentar exibir o Formulário de Localização por Nomes !!"
//   btnLocalizaEmpresa     "Erro ao tentar exibir o Formulário de Localização por Empresas !!"
//   btnLocalizaCrachaPlaca "Erro ao tentar exibir o Formulário de Localização por Crachás !!"
//   btnRelatorios          "Erro ao tentar exibir o Formulário de Relatórios !!"
void TFormPrincipal::btnLocalizaNomeClick() {}
void TFormPrincipal::btnLocalizaEmpresaClick() {}
void TFormPrincipal::btnLocalizaCrachaPlacaClick() {}
void TFormPrincipal::btnRelatoriosClick() {}

// Camera and photograph

void TFormPrincipal::btnStartClick()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    auto cursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    ui->btnStart->setEnabled(false);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    // A typed-over text names no listed device.
    const int chosen = ui->ComboBox1->currentIndex();
    if (chosen < 0 || ui->ComboBox1->currentText() != ui->ComboBox1->itemText(chosen)) {
        ui->btnStart->setEnabled(true);
        return;
    }
    const std::int32_t started = VideoImage->VideoStart(ui->ComboBox1->itemText(chosen));
    ui->btnStop->setEnabled(true);
    cursor.dismiss();
    QGuiApplication::restoreOverrideCursor();
    if (started == 1)
        return;

    VideoImage->SetResolutionByIndex(8);
    showVideoSize(QStringLiteral("Tamanho do Vídeo "));
    QStringList sizes;
    VideoImage->GetListOfSupportedVideoSizes(sizes);
    ui->cboSize->clear();
    ui->cboSize->addItems(sizes);
    ui->btnStop->setEnabled(true);
    ui->btnPropriedades->setEnabled(true);
    ui->btnCaptura->setEnabled(true);
}

void TFormPrincipal::btnStopClick()
{
    VideoImage->VideoStop();
    ui->btnStart->setEnabled(true);
    ui->btnStop->setEnabled(false);
}

void TFormPrincipal::cboSizeChange()
{
    VideoImage->SetResolutionByIndex(ui->cboSize->currentIndex());
    showVideoSize(QStringLiteral("Video size "));
}

void TFormPrincipal::showVideoSize(const QString& caption)
{
    ui->lblSize->setText(caption + QString::number(VideoImage->VideoWidth()) + QStringLiteral(" x ") +
                         QString::number(VideoImage->VideoHeight()));
}

void TFormPrincipal::btnPropriedadesClick()
{
    VideoImage->ShowProperty_Stream();
}

void TFormPrincipal::btnCapturaClick()
{
    CapturaFoto();
}

void TFormPrincipal::CapturaFoto()
{
    QImage frame;
    VideoImage->GetBitmap(frame);
    if (frame.isNull())
        return; // the camera never ran: there is no frame size to take
    // The photo box grows to the frame, beyond its layout size for larger frames.
    ui->imgFotoCapturada->resize(frame.size());
    ui->imgFotoCapturada->setBitmap(frame);
}

void TFormPrincipal::imgWebCamDblClick()
{
    const QString file = m_chooseFile();
    if (!file.isEmpty())
        ui->imgFotoCapturada->loadFromFile(file);
}
