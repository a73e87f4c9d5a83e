#pragma once

// The favourites organiser: the user reorders and deletes the favourite folders in a list; the
// caller gets the new list only when the user confirms with "Ok".

#include <QDialog>
#include <QStringList>

#include <memory>

#include "dialog_services.h"

namespace Ui {
class Tfrm_Favos;
}

namespace kestrix {

class Tfrm_Favos : public QDialog {
    Q_OBJECT
public:
    // `services` is copied; its dialogs are not used by this window, only its sound. The window
    // centres itself over `parent` (may be null) whenever it is shown.
    explicit Tfrm_Favos(const DialogServices& services, QWidget* parent = nullptr);
    ~Tfrm_Favos() override;

    // Fills the list with `paths` in their order and disables the move and delete buttons; call
    // it before each exec(). Empty paths are kept as they are (the caller's list is shown whole).
    void setFavourites(const QStringList& paths);

    // The favourites: those given to setFavourites(), replaced wholesale by the list's texts when
    // the user pressed "Ok". Reordering or deleting without "Ok" changes nothing here.
    QStringList favourites() const { return m_favourites; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadFavouriteList();
    void SaveFavouriteList();
    void lb_FavosClick();
    void moveSelected(int step);
    void sb_DeleteClick();
    void sb_OkClick();
    void sp_CancelClick();
    void play(Sound sound);

    std::unique_ptr<Ui::Tfrm_Favos> ui;
    DialogServices m_services;
    QStringList m_favourites;
};

}  // namespace kestrix
