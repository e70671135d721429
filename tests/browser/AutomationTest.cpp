// The automation layer and the HTML loader against fake browsers, documents and elements.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "Fakes.h"
#include "dwin/sys/win32/MessagePump.h"
#include "dwin/core/Exception.h"
#include "dwin/sys/win32/ie/IE.h"
#include "dwin/sys/win32/ie/WebBrowser.h"
#include "vorn/IE.h"

using namespace dwin::sys::win32;
using namespace winapi;
using com::ComPtr;

namespace {

class Automation : public ::testing::Test {
protected:
    void SetUp() override
    {
        objects_ = LiveComObjects();
        bstrs_ = LiveBstrs();
    }
    void TearDown() override
    {
        EXPECT_EQ(LiveComObjects(), objects_);
        EXPECT_EQ(LiveBstrs(), bstrs_);
    }
    long objects_ = 0, bstrs_ = 0;
};

TEST_F(Automation, DocumentWaitBelowFiftyMsGivesNullWithoutAsking)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    EXPECT_FALSE(ie::getDocument(browser.get(), 49));
    EXPECT_EQ(browser->documentCalls, 0);
    EXPECT_FALSE(ie::getDocument(nullptr, 5000));
}

TEST_F(Automation, DocumentWaitTriesTimeoutOverFiftyTimes)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    EXPECT_FALSE(ie::hasDocument(browser.get(), 199));
    EXPECT_EQ(browser->documentCalls, 3);
}

TEST_F(Automation, DocumentWaitEndsAtTheFirstSuccess)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    auto* doc = new fakes::Document;
    browser->document = [&](IDispatch** d) {
        if (browser->documentCalls < 2)
            return E_PENDING;
        doc->AddRef();
        *d = doc;
        return S_OK;
    };
    {
        auto got = ie::getDocument(browser.get(), 5000);
        EXPECT_EQ(got.get(), static_cast<IDispatch*>(doc));
        EXPECT_EQ(browser->documentCalls, 2);
        EXPECT_EQ(doc->refs, 2u);
    }
    EXPECT_TRUE(ie::hasDocument(browser.get(), 50));
    EXPECT_EQ(doc->refs, 1u); // the waits kept nothing
    doc->Release();
}

TEST_F(Automation, DocumentWaitWithReleaseKeepsNothingAndTellsWhetherOneCame)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    EXPECT_FALSE(ie::getDocument(browser.get(), true, 100));
    EXPECT_EQ(browser->documentCalls, 2);
    EXPECT_FALSE(ie::getDocument(browser.get(), false, 49));
    EXPECT_EQ(browser->documentCalls, 2);
    auto* doc = new fakes::Document;
    browser->document = [&](IDispatch** d) {
        doc->AddRef();
        *d = doc;
        return S_OK;
    };
    auto released = ie::getDocument(browser.get(), true, 5000);
    EXPECT_TRUE(released);
    EXPECT_FALSE(released.document);
    EXPECT_EQ(doc->refs, 1u);
    {
        auto kept = ie::getDocument(browser.get(), false, 5000);
        EXPECT_TRUE(kept);
        EXPECT_EQ(kept.document.get(), static_cast<IDispatch*>(doc));
        EXPECT_EQ(doc->refs, 2u);
    }
    EXPECT_EQ(doc->refs, 1u);
    doc->Release();
}

TEST_F(Automation, ElementByIdFormsReleaseWhatTheyAreGivenOnlyWhenAsked)
{
    auto* doc = new fakes::Document3;
    auto* element = new fakes::Element;
    doc->byId = element;
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    browser->document = [&](IDispatch** d) {
        doc->AddRef();
        *d = static_cast<IHTMLDocument3*>(doc);
        return S_OK;
    };
    doc->AddRef();
    EXPECT_TRUE(ie::getElementById(static_cast<IHTMLDocument3*>(doc), "user", true));
    doc->AddRef();
    EXPECT_TRUE(ie::getElementById(static_cast<IDispatch*>(static_cast<IHTMLDocument3*>(doc)),
                                   "user", true));
    EXPECT_TRUE(ie::getElementById(static_cast<IHTMLDocument3*>(doc), "user", false));
    EXPECT_EQ(doc->refs, 1u);
    browser->AddRef();
    EXPECT_TRUE(ie::getElementById(static_cast<IWebBrowser2*>(browser.get()), "user", true));
    EXPECT_TRUE(ie::getElementById(static_cast<IWebBrowser2*>(browser.get()), "user", false));
    EXPECT_EQ(browser->refs, 1u);
    EXPECT_EQ(doc->refs, 1u);
    EXPECT_EQ(element->refs, 1u); // every element handed out went with its owner
    doc->byId = nullptr;
    element->Release();
    EXPECT_FALSE(ie::getElementById(static_cast<IHTMLDocument3*>(nullptr), "user", true));
    doc->Release();
}

// A pump of an application that is quitting: every wait ends at once.
class QuittingPump final : public MessagePump {
public:
    bool pump() override { return false; }
    bool waitAndPump(std::chrono::milliseconds) override { return false; }
};

TEST_F(Automation, WaitsGiveUpWhenTheApplicationQuits)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    auto* doc = new fakes::Document3;
    browser->document = [&](IDispatch** d) {
        doc->AddRef();
        *d = static_cast<IHTMLDocument3*>(doc);
        return S_OK;
    };
    ASSERT_FALSE(ie::waitForElementById(browser.get(), "user", 0, 10)); // document at hand
    installMessagePump(std::make_shared<QuittingPump>());
    browser->documentCalls = 0;
    EXPECT_FALSE(ie::waitForElementById(browser.get(), "user", 3000, 10));
    const int afterElementWait = browser->documentCalls;
    EXPECT_FALSE(ie::waitForTitle(browser.get(), "My Account", 3000));
    const int afterTitleWait = browser->documentCalls;
    installMessagePump(nullptr);
    // The document wait and the first look-up only: no polling until the time-out.
    EXPECT_LE(afterElementWait, 2);
    EXPECT_EQ(afterTitleWait, afterElementWait);
    doc->Release();
}

// A pump during whose first wait the owner of the browser lets it go (a dialog closing).
class DroppingPump final : public MessagePump {
public:
    explicit DroppingPump(IUnknown* owned) : owned_(owned) {}
    bool pump() override { return true; }
    bool waitAndPump(std::chrono::milliseconds timeout) override
    {
        if (owned_ != nullptr) {
            destroyed = std::exchange(owned_, nullptr)->Release() == 0;
        }
        std::this_thread::sleep_for(timeout);
        return true;
    }
    bool destroyed = false;

private:
    IUnknown* owned_;
};

TEST_F(Automation, WaitsKeepTheBrowserAliveWhileTheyPump)
{
    const auto run = [](const std::function<void(IWebBrowser2*)>& wait) {
        auto* browser = new fakes::Browser; // its one reference belongs to the "dialog"
        auto pump = std::make_shared<DroppingPump>(browser);
        installMessagePump(pump);
        wait(browser);
        installMessagePump(nullptr);
        return pump->destroyed;
    };
    EXPECT_FALSE(run([](IWebBrowser2* b) { EXPECT_FALSE(ie::getDocument(b, 150)); }));
    EXPECT_FALSE(run([](IWebBrowser2* b) { EXPECT_FALSE(ie::waitForTitle(b, "x", 150)); }));
    EXPECT_FALSE(run([](IWebBrowser2* b) { EXPECT_FALSE(vorn::IE::loadHtml(b, "<p>", "")); }));
    auto* doc = new fakes::Document3;
    EXPECT_FALSE(run([&](IWebBrowser2* b) {
        static_cast<fakes::Browser*>(b)->document = [&](IDispatch** d) {
            doc->AddRef();
            *d = static_cast<IHTMLDocument3*>(doc);
            return S_OK;
        };
        EXPECT_FALSE(ie::waitForElementById(b, "user", 150, 20));
    }));
    doc->Release();
}

TEST_F(Automation, SetupAppliesOptionsUntilAnUnknownName)
{
    auto browser = ComPtr<IWebBrowser2>::adopt(new fakes::Browser);
    auto* fake = static_cast<fakes::Browser*>(browser.get());
    auto same = ie::setupBrowser(browser, {{"Width", 640L}, {"Colour", 3L}, {"Height", 480L}});
    EXPECT_EQ(same.get(), browser.get());
    const std::vector<std::string> expected{"Resizable=-1", "AddressBar=-1", "ToolBar=1",
                                            "MenuBar=0",    "StatusBar=-1",  "Visible=-1",
                                            "Width=640"};
    EXPECT_EQ(fake->calls, expected);
}

TEST_F(Automation, SetupNavigatesAndTakesBooleans)
{
    auto browser = ComPtr<IWebBrowser2>::adopt(new fakes::Browser);
    auto* fake = static_cast<fakes::Browser*>(browser.get());
    ie::setupBrowser(browser,
                     {{"Silent", true},
                      {"Navigate", std::string("http://127.0.0.1:1/")},
                      {"Top", true},
                      {"Left", 5L}});
    ASSERT_EQ(fake->calls.size(), 8u); // the wrong kind of value for "Top" ends it
    EXPECT_EQ(fake->calls[6], "Silent=-1");
    EXPECT_EQ(fake->calls[7], "Navigate");
}

TEST_F(Automation, SetupWithoutAServerThrowsTheCreateMessage)
{
    try {
        ie::setupBrowser(nullptr);
        FAIL();
    } catch (const dwin::core::IEException& e) {
        EXPECT_STREQ(e.what(), "Create IE instance failed");
        EXPECT_EQ(e.getErrorCode(), 0);
    }
    EXPECT_THROW(ie::IE(), dwin::core::IEException);
}

// A class factory handing out one given fake browser.
class FakeBrowserClass final : public IClassFactory {
public:
    explicit FakeBrowserClass(fakes::Browser* browser) : browser_(browser) {}
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        *object = IsEqualGUID(riid, IID_IClassFactory) ? this : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown*, REFIID riid, void** object) override
    {
        return browser_->QueryInterface(riid, object);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    fakes::Browser* browser_;
};

TEST_F(Automation, IEObjectQuitsItsBrowserAndAnswersFalseWithoutOne)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    FakeBrowserClass factory(browser.get());
    DWORD cookie = 0;
    ASSERT_EQ(
        CoRegisterClassObject(CLSID_InternetExplorer, &factory, CLSCTX_LOCAL_SERVER, 0, &cookie),
        S_OK);
    {
        ie::IE first;
        EXPECT_EQ(browser->refs, 2u);
        EXPECT_TRUE(first.setWidth(300));
        EXPECT_TRUE(first.setToolBar(false));
    }
    EXPECT_EQ(browser->refs, 1u);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Width=300", "ToolBar=0", "Quit"}));
    {
        ie::IE second;
        second.browser.reset();
        EXPECT_FALSE(second.setVisible(true));
        EXPECT_FALSE(second.setLeft(1));
        EXPECT_FALSE(second.setFullScreen(true));
        EXPECT_FALSE(second.navigate("http://127.0.0.1/"));
        second.url = "http://127.0.0.1/";
        EXPECT_EQ(second.getBodyText(), std::nullopt);
    }
    CoRevokeClassObject(cookie);
    EXPECT_EQ(browser->refs, 1u);
    EXPECT_EQ(browser->calls.back(), "Quit"); // the second object had no browser to quit
}

TEST_F(Automation, MalformedTextGivesFailureNotAnException)
{
    const std::string bad = "ab\xFF";
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    auto* doc = new fakes::Document3;
    auto* element = new fakes::Element;
    doc->byId = element;
    browser->document = [&](IDispatch** d) {
        doc->AddRef();
        *d = static_cast<IHTMLDocument3*>(doc);
        return S_OK;
    };
    EXPECT_FALSE(ie::getElementById(browser.get(), bad));
    EXPECT_FALSE(ie::getElementById(static_cast<IHTMLDocument3*>(doc), bad));
    EXPECT_FALSE(ie::waitForElementById(browser.get(), bad, 0, 10));
    EXPECT_TRUE(com::getElementsByName(browser.get(), bad).empty());
    EXPECT_FALSE(com::setAttribute(element, bad, std::string("v"), 0));
    EXPECT_FALSE(com::setAttribute(element, "value", bad, 0));
    EXPECT_EQ(element->calls, 0);
    EXPECT_FALSE(ie::navigate(browser.get(), bad));
    VARIANT a = com::variantOfText(VT_BSTR, "x"), b{}, c{}, d{};
    EXPECT_FALSE(ie::navigateTarget(browser.get(), bad, a, b, c, d));
    EXPECT_EQ(a.vt, VT_EMPTY);
    EXPECT_FALSE(ie::navigatePost(browser.get(), bad, 0, "", {}, ""));
    EXPECT_FALSE(ie::navigatePost(browser.get(), "http://127.0.0.1/", 0, bad, {}, ""));
    const std::uint8_t body[] = {1};
    EXPECT_FALSE(ie::navigatePost(browser.get(), "http://127.0.0.1/", 0, "", body, bad));
    EXPECT_EQ(LiveSafeArrays(), 0);
    ie::setupBrowser(ComPtr<IWebBrowser2>::share(browser.get()),
                     {{"Navigate", bad}, {"Width", 5L}});
    ASSERT_EQ(browser->calls.size(), 7u); // the bars, no navigation, then the width
    EXPECT_EQ(browser->calls.back(), "Width=5");
    doc->byId = nullptr;
    element->Release();
    doc->Release();
}

TEST_F(Automation, SetAttributeRefusesEmptyNameAndAbsentValue)
{
    auto element = ComPtr<fakes::Element>::adopt(new fakes::Element);
    EXPECT_FALSE(com::setAttribute(element.get(), "", std::string("x"), 0));
    EXPECT_FALSE(com::setAttribute(element.get(), "value", std::nullopt, 0));
    EXPECT_FALSE(com::setAttribute(nullptr, "value", std::string("x"), 0));
    EXPECT_EQ(element->calls, 0);
    EXPECT_TRUE(com::setAttribute(element.get(), "value", std::string(""), 0));
    EXPECT_TRUE(com::setAttribute(element.get(), "value", std::string("Größe"), 0));
    EXPECT_EQ(element->calls, 2);
    EXPECT_EQ(element->lastName, u"value");
    EXPECT_EQ(element->lastValue, u"Größe");
}

TEST_F(Automation, GettersOfAMissingBrowserGiveNothing)
{
    EXPECT_EQ(com::getBrowserHwnd(nullptr), nullptr);
    EXPECT_EQ(com::getBrowserLocationUrl(nullptr), std::nullopt);
    EXPECT_FALSE(ie::isBrowserWindow(nullptr));
    EXPECT_TRUE(com::getElementsByName(nullptr, "x").empty());
    EXPECT_EQ(ie::getTitle(nullptr), std::nullopt);
    EXPECT_EQ(ie::getInnerText(nullptr), std::nullopt);
    EXPECT_FALSE(ie::waitForElementById(nullptr, "x", 0, 10));
    EXPECT_FALSE(ie::navigate(nullptr, "http://127.0.0.1/"));
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    EXPECT_FALSE(ie::isBrowserWindow(browser.get())); // get_HWND fails
    EXPECT_TRUE(com::getElementsByName(browser.get(), "x").empty());
    EXPECT_FALSE(ie::waitForTitle(browser.get(), "x", 120));
}

TEST_F(Automation, ElementListKeepsElementsOnlyAndReleasesEveryItem)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    auto* doc = new fakes::Document3;
    auto* list = new fakes::Collection;
    auto* element = new fakes::Element;
    auto* plain = new fakes::Plain;
    list->items = {plain, element, nullptr};
    doc->list = list;
    browser->document = [&](IDispatch** d) {
        doc->AddRef();
        *d = static_cast<IHTMLDocument3*>(doc);
        return S_OK;
    };
    {
        auto found = com::getElementsByName(browser.get(), "color");
        ASSERT_EQ(found.size(), 1u); // the plain object and the failing item are skipped
        EXPECT_EQ(found[0].get(), static_cast<IHTMLElement*>(element));
        EXPECT_EQ(element->refs, 2u);
        EXPECT_EQ(plain->refs, 1u);
        ASSERT_EQ(list->asked.size(), 3u);
        EXPECT_EQ(list->asked[1], (std::pair<VARTYPE, ULONG>(VT_UI4, 1)));
        EXPECT_EQ(list->refs, 1u);
        EXPECT_EQ(doc->refs, 1u);
    }
    EXPECT_EQ(element->refs, 1u);
    doc->list = nullptr;
    EXPECT_TRUE(com::getElementsByName(browser.get(), "color").empty()); // no list at all
    list->Release();
    doc->Release();
}

TEST_F(Automation, LoadHtmlHandsCodePageBytesUnderTheBaseAddress)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    auto* doc = new fakes::Document;
    browser->document = [&](IDispatch** d) {
        doc->AddRef();
        *d = doc;
        return S_OK;
    };
    EXPECT_TRUE(
        vorn::IE::loadHtml(browser.get(), "<p>Größe €</p>", "http://127.0.0.1:9/a/b.php?x=1"));
    EXPECT_EQ(doc->loads, 1);
    EXPECT_EQ(doc->displayName, u"http://127.0.0.1:9/a/b.php?x=1");
    EXPECT_EQ(doc->bytes,
              "<p>Gr\xF6\xDF"
              "e \x80</p>"); // Windows-1252, not UTF-8
    EXPECT_EQ(doc->statSize, 14u);
    doc->answer = E_FAIL;
    EXPECT_FALSE(vorn::IE::loadHtml(browser.get(), "", ""));
    EXPECT_EQ(doc->loads, 2);
    EXPECT_EQ(doc->statSize, 0u); // an empty stream still goes to Load
    EXPECT_EQ(doc->displayName, u"http://127.0.0.1:9/a/b.php?x=1"); // null name: left as it was
    EXPECT_EQ(doc->refs, 1u);
    doc->Release();
}

TEST_F(Automation, LoadHtmlOfMalformedTextThrowsAndReleasesEverything)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    auto* doc = new fakes::Document;
    browser->document = [&](IDispatch** d) {
        doc->AddRef();
        *d = doc;
        return S_OK;
    };
    EXPECT_THROW(vorn::IE::loadHtml(browser.get(), "<p>\xFF\xFE</p>", "http://127.0.0.1/"),
                 dwin::core::IllegalArgumentException);
    EXPECT_EQ(doc->loads, 0);
    EXPECT_EQ(doc->refs, 1u);
    doc->Release(); // TearDown counts the BSTR of the address and every object
}

TEST_F(Automation, NavigationClearsEveryValueItWasGiven)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    const long bstrs = LiveBstrs();
    VARIANT flags = com::variantOf(VT_I4, 0), target = com::variantOfText(VT_BSTR, "_self");
    VARIANT post = com::variantOf(VT_EMPTY, 0), headers = com::variantOfText(VT_BSTR, "X-A: 1");
    EXPECT_TRUE(
        ie::navigateTarget(browser.get(), "http://127.0.0.1/", flags, target, post, headers));
    EXPECT_EQ(target.vt, VT_EMPTY);
    EXPECT_EQ(headers.vt, VT_EMPTY);
    const std::uint8_t body[] = {1, 2, 3};
    EXPECT_TRUE(ie::navigatePost(browser.get(), "http://127.0.0.1/", 0, "", body, "X-B: 2"));
    EXPECT_TRUE(ie::navigate(browser.get(), "http://127.0.0.1/"));
    EXPECT_EQ(LiveBstrs(), bstrs);
    EXPECT_EQ(LiveSafeArrays(), 0);
    const std::vector<std::string> expected{"Navigate", "Navigate2", "Navigate"};
    EXPECT_EQ(browser->calls, expected);
}

TEST_F(Automation, NavigationGivenOneValueForAllFourClearsItOnce)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    VARIANT same = com::variantOfText(VT_BSTR, "_blank");
    EXPECT_TRUE(ie::navigateTarget(browser.get(), "http://127.0.0.1/", same, same, same, same));
    EXPECT_EQ(same.vt, VT_EMPTY);
    EXPECT_EQ(browser->calls, std::vector<std::string>{"Navigate"});
    VARIANT text = com::variantOfText(VT_BSTR, "X-A: 1");
    EXPECT_FALSE(ie::navigateTarget(nullptr, "http://127.0.0.1/", text, text, text, text));
    EXPECT_EQ(text.vt, VT_EMPTY);
}

TEST_F(Automation, LoadHtmlWithoutPersistMonikerGivesFalse)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    auto* doc = new fakes::Document;
    doc->persist = false;
    browser->document = [&](IDispatch** d) {
        doc->AddRef();
        *d = doc;
        return S_OK;
    };
    EXPECT_FALSE(vorn::IE::loadHtml(browser.get(), "<p>x</p>", "http://127.0.0.1/"));
    EXPECT_EQ(doc->loads, 0);
    EXPECT_FALSE(vorn::IE::getPersistMoniker(nullptr));
    doc->Release();
}

TEST_F(Automation, LoadHtmlGivesUpWhenNoDocumentComes)
{
    auto browser = ComPtr<fakes::Browser>::adopt(new fakes::Browser);
    const long before = LiveComObjects();
    EXPECT_FALSE(vorn::IE::loadHtml(browser.get(), "<p>x</p>", "http://127.0.0.1/"));
    EXPECT_EQ(browser->documentCalls, 100);
    EXPECT_EQ(LiveComObjects(), before); // no stream or moniker was made
}

TEST_F(Automation, MonikerAnswersItsNameAndStorageOnly)
{
    auto memory = std::make_shared<dwin::io::MemoryStream>();
    memory->writeString("abc");
    auto* stream = new com::COMStream(memory);
    auto* moniker = new vorn::IE::LoadHTMLMoniker;
    moniker->init(stream, com::toBstr("http://127.0.0.1/x"));
    EXPECT_EQ(stream->refCount(), 2);
    stream->Release();

    LPOLESTR name = nullptr;
    EXPECT_EQ(moniker->GetDisplayName(nullptr, nullptr, &name), S_OK);
    EXPECT_EQ(std::u16string(name), u"http://127.0.0.1/x");
    CoTaskMemFree(name);

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IDispatch, &object), S_OK);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IStream, &object), S_OK);
    EXPECT_EQ(object, static_cast<IStream*>(stream));
    EXPECT_EQ(stream->refCount(), 2);
    static_cast<IStream*>(object)->Release();

    CLSID id = GUID_NULL;
    EXPECT_EQ(moniker->GetClassID(&id), E_NOTIMPL);
    EXPECT_TRUE(IsEqualGUID(id, IID_IStream));
    ULONGLONG size = 7;
    EXPECT_EQ(moniker->GetSizeMax(&size), E_NOTIMPL);
    EXPECT_EQ(size, 0u);
    FILETIME time{1, 1};
    EXPECT_EQ(moniker->GetTimeOfLastChange(nullptr, nullptr, &time), E_NOTIMPL);
    EXPECT_EQ(time.dwLowDateTime | time.dwHighDateTime, 0u);
    DWORD kind = 9;
    EXPECT_EQ(moniker->IsSystemMoniker(&kind), E_NOTIMPL);
    EXPECT_EQ(kind, MKSYS_NONE);
    EXPECT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IStream, &object), E_NOTIMPL);
    EXPECT_EQ(object, nullptr);

    void* view = nullptr;
    EXPECT_EQ(moniker->QueryInterface(IID_IMoniker, &view), S_OK);
    static_cast<IMoniker*>(view)->Release();
    EXPECT_EQ(moniker->QueryInterface(IID_IDispatch, &view), E_NOINTERFACE);
    const long before = LiveComObjects();
    moniker->Release(); // takes the stream with it
    EXPECT_EQ(LiveComObjects(), before - 2);
}

TEST_F(Automation, NullUrlMonikerHasNoName)
{
    auto* moniker = new vorn::IE::LoadHTMLMoniker;
    moniker->init(nullptr, nullptr);
    LPOLESTR name = reinterpret_cast<LPOLESTR>(1);
    EXPECT_EQ(moniker->GetDisplayName(nullptr, nullptr, &name), S_OK);
    EXPECT_EQ(name, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IStream, &object), S_OK);
    EXPECT_EQ(object, nullptr);
    moniker->Release();
}

} // namespace
