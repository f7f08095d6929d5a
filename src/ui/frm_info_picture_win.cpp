#include "ui/frm_info_picture.h"

#include <wincodec.h>

#include <memory>

#include "ui/res/resource.h"

namespace codeeingabe {
namespace {

struct ComReleaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using ComPtr = std::unique_ptr<Interface, ComReleaser>;

// COM for the decoding only; balanced even where the thread had it already.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

struct Resource {
    const BYTE* bytes = nullptr;
    DWORD size = 0;
};

Resource LockNoticeResource() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_LOCK_NOTICE), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return {};
    return Resource{static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

UniqueBitmap Decode(const Resource& resource) {
    IWICImagingFactory* rawFactory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&rawFactory)))) {
        return nullptr;
    }
    const ComPtr<IWICImagingFactory> factory(rawFactory);
    IWICStream* rawStream = nullptr;
    if (FAILED(factory->CreateStream(&rawStream))) return nullptr;
    const ComPtr<IWICStream> stream(rawStream);
    if (FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(resource.bytes), resource.size))) return nullptr;
    IWICBitmapDecoder* rawDecoder = nullptr;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, &rawDecoder))) {
        return nullptr;
    }
    const ComPtr<IWICBitmapDecoder> decoder(rawDecoder);
    IWICBitmapFrameDecode* rawFrame = nullptr;
    if (FAILED(decoder->GetFrame(0, &rawFrame))) return nullptr;
    const ComPtr<IWICBitmapFrameDecode> frame(rawFrame);
    IWICFormatConverter* rawConverter = nullptr;
    if (FAILED(factory->CreateFormatConverter(&rawConverter))) return nullptr;
    const ComPtr<IWICFormatConverter> converter(rawConverter);
    if (FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC delivers the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) return nullptr;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) return nullptr;
    return bitmap;
}

}  // namespace

UniqueBitmap LoadLockNoticePicture() {
    const Resource resource = LockNoticeResource();
    if (resource.bytes == nullptr || resource.size == 0) return nullptr;
    ComApartment apartment;
    return Decode(resource);
}

}  // namespace codeeingabe
