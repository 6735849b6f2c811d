#pragma once

#include "codec/track_construction.h"

#include <QDialog>
#include <QIcon>
#include <cstdint>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace railwright {

// A small drawing of a piece from its row of the piece table: the plan of its tiles as
// met heading up the picture, the way through them with an arrow where it leaves, green
// when it ends climbing and red when it ends falling. Drawn once per code.
[[nodiscard]] QIcon PieceIcon(std::uint8_t code);

// Whether the ride builds `code` without a warning: a piece the chooser lists first and
// the Close Circuit hint names first; the others are marked with the warning they get.
[[nodiscard]] bool RideBuildsPiece(std::uint8_t ride, std::uint8_t code);

// Picks the piece to build at one place of the track: the pieces that fit there, those the
// ride builds first, each by name and code ("up 25 (04)") with its drawing; those that
// also meet the next piece come first. The filter has the focus: typing keeps the pieces
// whose name holds the text or whose code starts with it, Up and Down move in the list,
// Enter chooses and Escape cancels. "Show all pieces" adds those the ride does not build,
// marked, each with the warning it would get.
class PieceChooser : public QDialog
{
    Q_OBJECT

public:
    // `offers` as FittingPieces gives them; `flags` those a piece built there would carry;
    // `place` says where it goes ("after piece 2 (end station)").
    PieceChooser(std::uint8_t ride, const std::vector<FittingPiece>& offers, std::uint8_t flags,
                 const QString& title, const QString& place, QWidget* parent = nullptr);

    // The piece chosen; nullopt while none is current.
    [[nodiscard]] std::optional<std::uint8_t> chosenCode() const;
    // The codes listed now, in their order.
    [[nodiscard]] std::vector<std::uint8_t> shownCodes() const;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Keeps the piece current when it stays listed (`keepCurrent`), else the one named or
    // coded exactly, else the first.
    void applyFilter(bool keepCurrent = false);

    QLineEdit* m_filter = nullptr;
    QListWidget* m_list = nullptr;
    QCheckBox* m_showAll = nullptr;
    QLabel* m_empty = nullptr;
};

} // namespace railwright
