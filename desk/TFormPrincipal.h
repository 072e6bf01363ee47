#pragma once

#include "capture/TVideoImage.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TFormPrincipal;
}
class KeyPreview;
class QKeyEvent;

// Desk settings read once when the main window is created (section Parametros).
extern QString NomePortaria;
extern bool LiberaSaida;
extern QString CrachaUnico;

// The guard's desk: look a visitor up by document, complete and save the visit, and
// open every other window of the program.
class TFormPrincipal : public QWidget
{
    Q_OBJECT

public:
    // `cameras` defaults to the system's video devices; it must outlive the window.
    explicit TFormPrincipal(QWidget* parent = nullptr, CapturePlatform* cameras = nullptr);
    ~TFormPrincipal() override;

    // The visitor key: the text without "-", ".", "," and "/"; nothing else changes.
    static QString Remove(const QString& text);

    // Also triggered by the search windows after they wrote a key into txtDocto.
    void btnLocalizarClick();
    void LimpaDados();
    void AtivaDesativaVectoIntegracao();
    void NaoEncontrouVisitante();
    bool VerificaCrachaAberto(int cracha);
    void GravaVisitante();
    void Etiqueta_Zebra();
    void FechaAplicacao();

    // Seams: the desk machine's clock, how the event loop is told to end, how the
    // warning sound is played, and which file it is.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    void setQuitHandler(std::function<void()> quit) { m_quit = std::move(quit); }
    void setSoundPlayer(std::function<void(const QString&)> play) { m_playSound = std::move(play); }
    // OpenDialog1: returns the chosen file, or an empty text when the guard cancels.
    void setFileChooser(std::function<QString()> choose) { m_chooseFile = std::move(choose); }
    QString SoundFile;

    bool Activated = false;
    std::unique_ptr<TVideoImage> VideoImage;
    QString ImprimeEtiqueta;
    QString PortaEtiqueta;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate(CapturePlatform* cameras);
    void LeParametros();
    void FormShow();
    void FormActivate();
    bool FormKeyPress(QWidget* target, QKeyEvent* event);
    void FormClose();

    void txtDoctoExit();
    void rgTipoClick();
    void btnGravarClick();
    void btnCancelaClick();
    void btnFecharClick();
    void btnEtiquetaClick();
    void btnBaixaClick();
    void btnLocalizaNomeClick();
    void btnLocalizaEmpresaClick();
    void btnLocalizaCrachaPlacaClick();
    void btnRelatoriosClick();

    void btnStartClick();
    void btnStopClick();
    void cboSizeChange();
    void btnPropriedadesClick();
    void btnCapturaClick();
    void CapturaFoto();
    void imgWebCamDblClick();
    void showVideoSize(const QString& caption);

    // Every field but the document, and the photograph.
    void clearVisitFields();
    void setupControls();
    void connectHandlers();
    int tipoIndex() const;
    void setTipoIndex(int index);

    const std::unique_ptr<Ui::TFormPrincipal> ui;
    KeyPreview* m_keyPreview = nullptr;
    QMetaObject::Connection m_focusChanged;
    std::function<QDateTime()> m_now;
    std::function<void()> m_quit;
    std::function<void(const QString&)> m_playSound;
    std::function<QString()> m_chooseFile;
    QImage m_liveCanvas;          // the live picture box's bitmap, painted by VideoImage
    bool m_lookupRunning = false; // the lookup itself moves the focus out of txtDocto
};

// The single main window of the program.
extern TFormPrincipal* FormPrincipal;
