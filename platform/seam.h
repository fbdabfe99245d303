#pragma once

namespace cinemork {

// A service the program reaches through one object: the one a test installs, else the program's own
// (the window installs the real boxes, dialogs and desktop), else a fallback that cancels.
template<typename Service>
class Seam
{
public:
    explicit Seam(Service &fallback)
        : m_fallback(fallback)
    {}
    Service &get() const { return m_installed ? *m_installed : m_default ? *m_default : m_fallback; }
    void install(Service *s) { m_installed = s; }
    void setDefault(Service *s) { m_default = s; }

private:
    Service *m_installed = nullptr;
    Service *m_default = nullptr;
    Service &m_fallback;
};

} // namespace cinemork
