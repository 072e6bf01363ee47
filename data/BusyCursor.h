#pragma once

// Shows the busy cursor while a database call runs (only where there is a GUI).
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_shown = false;
};
