#pragma once

namespace railwright {

// Shows the application-wide wait pointer for as long as it lives, so a load, save or
// refresh that returns early (or throws) never leaves the pointer stuck on busy.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();

    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace railwright
