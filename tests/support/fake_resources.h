// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <map>
#include <string>
#include <utility>

namespace meridal::test {

// Resources held in memory, for tests that must control exactly what the module holds.
class FakeResources final : public Resources {
  public:
    FakeResources& setString(unsigned id, std::string text)
    {
        m_data[{res::typeString, id}] = std::move(text);
        return *this;
    }
    FakeResources& set(unsigned type, unsigned id, std::string data)
    {
        m_data[{type, id}] = std::move(data);
        return *this;
    }
    void remove(unsigned type, unsigned id) { m_data.erase({type, id}); }

    std::optional<std::string_view> find(unsigned type, unsigned id) const override
    {
        auto it = m_data.find({type, id});
        if (it == m_data.end())
            return std::nullopt;
        return std::string_view(it->second);
    }

    // Every reader error and file message gets a recognisable text: "S<number>".
    static FakeResources withNumberedStrings()
    {
        FakeResources r;
        for (unsigned id = 200; id <= 309; ++id)
            r.setString(id, "S" + std::to_string(id));
        for (unsigned id = 700; id <= 706; ++id)
            r.setString(id, "S" + std::to_string(id));
        return r;
    }

    // One shared, unchanging set of numbered strings, for tests that only read messages.
    static const FakeResources& numbered()
    {
        static const FakeResources resources = withNumberedStrings();
        return resources;
    }

  private:
    std::map<std::pair<unsigned, unsigned>, std::string> m_data;
};

} // namespace meridal::test
