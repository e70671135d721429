#pragma once
// Elements of a document and lists of them, known by their index in the isolated world's list.

#include <memory>
#include <vector>

#include "winapi/Browser.h"
#include "winapi/browser/ComObject.h"
#include "winapi/browser/Page.h"

namespace winapi::browser {

class Element final : public DispatchObject<IHTMLElement> {
public:
    Element(std::shared_ptr<Page> page, std::uint64_t generation, int index);

    HRESULT setAttribute(BSTR name, VARIANT value, LONG flags) override;
    HRESULT getAttribute(BSTR name, LONG flags, VARIANT* value) override;
    HRESULT get_innerText(BSTR* text) override;
    HRESULT click() override;

protected:
    void* view(REFIID riid) override;

private:
    ~Element() override = default;
    std::shared_ptr<Page> page_;
    std::uint64_t generation_;
    int index_;
};

class ElementCollection final : public DispatchObject<IHTMLElementCollection> {
public:
    ElementCollection(std::shared_ptr<Page> page, std::uint64_t generation,
                      std::vector<int> indices);

    HRESULT get_length(LONG* length) override;
    HRESULT item(VARIANT name, VARIANT index, IDispatch** element) override;

protected:
    void* view(REFIID riid) override;

private:
    ~ElementCollection() override = default;
    std::shared_ptr<Page> page_;
    std::uint64_t generation_;
    std::vector<int> indices_;
};

} // namespace winapi::browser
