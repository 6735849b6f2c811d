#pragma once

namespace railwright {

// The game a track design is meant for: the base game or one of its two expansions.
enum class GameVersion
{
    Original,
    CorkscrewFollies,
    LoopyLandscapes,
};

} // namespace railwright
