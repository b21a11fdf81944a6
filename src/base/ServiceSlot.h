#pragma once

namespace zbpg {

// Where a platform service is looked up: the installed one, or the fallback that works without
// a screen. The program installs its on-screen services at start; tests install doubles that
// record and answer. Installing nullptr goes back to the fallback.
template <typename Service> class ServiceSlot final {
public:
    explicit ServiceSlot(Service& fallback) : m_fallback(fallback) {}
    ServiceSlot(const ServiceSlot&) = delete;
    ServiceSlot& operator=(const ServiceSlot&) = delete;

    Service& get() const { return m_installed != nullptr ? *m_installed : m_fallback; }
    void install(Service* service) { m_installed = service; }

private:
    Service& m_fallback;
    Service* m_installed = nullptr;
};

} // namespace zbpg
