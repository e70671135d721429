#include "winapi/browser/Element.h"

namespace winapi::browser {

namespace {

// The text of an attribute value: text, a number or a boolean.
std::optional<QString> valueText(const VARIANT& value)
{
    switch (value.vt) {
    case VT_BSTR: return toQString(value.bstrVal);
    case VT_I4: return QString::number(value.lVal);
    case VT_UI4: return QString::number(value.ulVal);
    case VT_BOOL:
        return value.boolVal != VARIANT_FALSE ? QStringLiteral("true") : QStringLiteral("false");
    default: return std::nullopt;
    }
}

} // namespace

Element::Element(std::shared_ptr<Page> page, std::uint64_t generation, int index)
    : page_(std::move(page)), generation_(generation), index_(index)
{
}

void* Element::view(REFIID riid)
{
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
        IsEqualGUID(riid, IID_IHTMLElement))
        return static_cast<IHTMLElement*>(this);
    return nullptr;
}

HRESULT Element::setAttribute(BSTR name, VARIANT value, LONG)
{
    const QString attribute = toQString(name);
    const auto text = valueText(value);
    if (attribute.isEmpty() || !text)
        return E_INVALIDARG;
    // Like the old document model, "value" also sets what a form field holds now.
    auto done = page_->run(
        QStringLiteral(
            "const e = R[A[0]]; if (!e) return false; e.setAttribute(A[1], A[2]);"
            "if (A[1].toLowerCase() === 'value' && 'value' in e) e.value = A[2]; return true;"),
        QJsonArray{index_, attribute, *text}, generation_);
    return done && done->toBool() ? S_OK : E_FAIL;
}

HRESULT Element::getAttribute(BSTR name, LONG, VARIANT* value)
{
    if (value == nullptr)
        return E_POINTER;
    VariantInit(value);
    auto found = page_->run(
        QStringLiteral("const e = R[A[0]]; if (!e) return [false]; const v = e.getAttribute(A[1]);"
                       "return v === null ? [true] : [true, v];"),
        QJsonArray{index_, toQString(name)}, generation_);
    if (!found)
        return E_FAIL;
    const QVariantList answer = found->toList();
    if (answer.isEmpty() || !answer[0].toBool())
        return E_FAIL;
    if (answer.size() < 2) {
        value->vt = VT_NULL;
    } else {
        value->vt = VT_BSTR;
        value->bstrVal = toBstr(answer[1].toString());
    }
    return S_OK;
}

HRESULT Element::get_innerText(BSTR* text)
{
    if (text == nullptr)
        return E_POINTER;
    *text = nullptr;
    auto inner = page_->run(
        QStringLiteral(
            "const e = R[A[0]]; if (!e) return [false]; return [true, String(e.innerText)];"),
        QJsonArray{index_}, generation_);
    if (!inner)
        return E_FAIL;
    const QVariantList answer = inner->toList();
    if (answer.size() < 2 || !answer[0].toBool())
        return E_FAIL;
    *text = toBstr(answer[1].toString());
    return S_OK;
}

HRESULT Element::click()
{
    auto done = page_->run(
        QStringLiteral("const e = R[A[0]]; if (!e) return false; e.click(); return true;"),
        QJsonArray{index_}, generation_, true);
    return done && done->toBool() ? S_OK : E_FAIL;
}

ElementCollection::ElementCollection(std::shared_ptr<Page> page, std::uint64_t generation,
                                     std::vector<int> indices)
    : page_(std::move(page)), generation_(generation), indices_(std::move(indices))
{
}

void* ElementCollection::view(REFIID riid)
{
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
        IsEqualGUID(riid, IID_IHTMLElementCollection))
        return static_cast<IHTMLElementCollection*>(this);
    return nullptr;
}

HRESULT ElementCollection::get_length(LONG* length)
{
    if (length == nullptr)
        return E_POINTER;
    *length = static_cast<LONG>(indices_.size());
    return S_OK;
}

HRESULT ElementCollection::item(VARIANT name, VARIANT index, IDispatch** element)
{
    if (element == nullptr)
        return E_POINTER;
    *element = nullptr;
    const VARIANT& which = (name.vt == VT_I4 || name.vt == VT_UI4) ? name : index;
    long at = -1;
    if (which.vt == VT_I4)
        at = which.lVal;
    else if (which.vt == VT_UI4)
        at = static_cast<long>(which.ulVal);
    else if (name.vt == VT_BSTR) {
        QJsonArray list;
        for (int i : indices_)
            list.append(i);
        auto found = page_->run(QStringLiteral("return A[0].findIndex(i => R[i] && (R[i].id === "
                                               "A[1] || R[i].getAttribute('name') === A[1]));"),
                                QJsonArray{list, toQString(name.bstrVal)}, generation_);
        if (!found)
            return E_FAIL;
        at = found->toInt();
    } else {
        return E_INVALIDARG;
    }
    if (at < 0 || at >= static_cast<long>(indices_.size()))
        return S_OK;
    *element = static_cast<IHTMLElement*>(new Element(page_, generation_, indices_[at]));
    return S_OK;
}

} // namespace winapi::browser
