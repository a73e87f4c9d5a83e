#include "unit_favos.h"

#include "window_placement.h"

#include <QListWidget>
#include <QShowEvent>
#include <QStyle>

#include "ui_unit_favos.h"

namespace kestrix {

Tfrm_Favos::Tfrm_Favos(const DialogServices& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_Favos>()), m_services(services)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->sb_Up->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    ui->sb_Down->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    setFixedSize(sizeHint());

    // Keyboard moves in the list count as clicks: the buttons always follow the selection.
    connect(ui->lb_Favos, &QListWidget::itemSelectionChanged, this, &Tfrm_Favos::lb_FavosClick);
    connect(ui->sb_Up, &QToolButton::clicked, this, [this] { moveSelected(-1); });
    connect(ui->sb_Down, &QToolButton::clicked, this, [this] { moveSelected(1); });
    connect(ui->sb_Delete, &QPushButton::clicked, this, &Tfrm_Favos::sb_DeleteClick);
    connect(ui->sb_Ok, &QPushButton::clicked, this, &Tfrm_Favos::sb_OkClick);
    connect(ui->sp_Cancel, &QPushButton::clicked, this, &Tfrm_Favos::sp_CancelClick);
}

Tfrm_Favos::~Tfrm_Favos() = default;

void Tfrm_Favos::setFavourites(const QStringList& paths)
{
    m_favourites = paths;
    LoadFavouriteList();
}

void Tfrm_Favos::showEvent(QShowEvent* event)
{
    // Centred over the owner, wherever that stands now.
    if (parentWidget()) CentreOver(this, parentWidget());
    QDialog::showEvent(event);
}

void Tfrm_Favos::LoadFavouriteList()
{
    ui->lb_Favos->clear();
    ui->lb_Favos->addItems(m_favourites);
    ui->lb_Favos->setCurrentRow(-1);
    lb_FavosClick();
}

void Tfrm_Favos::SaveFavouriteList()
{
    QStringList paths;
    for (int row = 0; row < ui->lb_Favos->count(); ++row) paths << ui->lb_Favos->item(row)->text();
    m_favourites = paths;
}

void Tfrm_Favos::lb_FavosClick()
{
    const QList<QListWidgetItem*> selected = ui->lb_Favos->selectedItems();
    const int row = selected.isEmpty() ? -1 : ui->lb_Favos->row(selected.first());
    ui->sb_Up->setEnabled(row > 0);
    ui->sb_Down->setEnabled(row >= 0 && row < ui->lb_Favos->count() - 1);
    ui->sb_Delete->setEnabled(row >= 0);
}

void Tfrm_Favos::moveSelected(int step)
{
    const QList<QListWidgetItem*> selected = ui->lb_Favos->selectedItems();
    if (selected.isEmpty()) return;
    const int row = ui->lb_Favos->row(selected.first());
    const int target = row + step;
    if (target < 0 || target >= ui->lb_Favos->count()) return;
    QListWidgetItem* item = ui->lb_Favos->takeItem(row);
    ui->lb_Favos->insertItem(target, item);
    ui->lb_Favos->setCurrentRow(target, QItemSelectionModel::ClearAndSelect);
    lb_FavosClick();
}

void Tfrm_Favos::sb_DeleteClick()
{
    const QList<QListWidgetItem*> selected = ui->lb_Favos->selectedItems();
    if (selected.isEmpty()) return;
    delete ui->lb_Favos->takeItem(ui->lb_Favos->row(selected.first()));
    // Removing the current row moves the current index on; nothing is to stay selected.
    ui->lb_Favos->setCurrentRow(-1);
    ui->lb_Favos->clearSelection();
    ui->sb_Up->setEnabled(false);
    ui->sb_Down->setEnabled(false);
    ui->sb_Delete->setEnabled(false);
}

void Tfrm_Favos::sb_OkClick()
{
    play(Sound::ButtonClick);
    SaveFavouriteList();
    accept();
}

void Tfrm_Favos::sp_CancelClick()
{
    play(Sound::ButtonClick);
    reject();
}

void Tfrm_Favos::play(Sound sound)
{
    if (m_services.playSound) m_services.playSound(sound);
}

}  // namespace kestrix
