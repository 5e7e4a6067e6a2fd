#include "DataObj.h"

#include "Archive.h"

#include <cstring>

namespace quorrel::model {

namespace {
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kSchema = 1;
constexpr char kClassName[] = "CDataObj";
constexpr uint16_t kClassNameLength = sizeof kClassName - 1;
}

void CDataObj::Serialize(CArchive& ar)
{
    m_params.SerializeParams(ar);
}

void StoreObList(CArchive& ar, const CObList& list)
{
    ar.WriteU16(static_cast<uint16_t>(list.size()));
    bool classWritten = false;
    for (const auto& obj : list) {
        if (!classWritten) {
            ar.WriteU16(kNewClassTag);
            ar.WriteU16(kSchema);
            ar.WriteU16(kClassNameLength);
            ar.WriteBytes({reinterpret_cast<const uint8_t*>(kClassName), kClassNameLength});
            classWritten = true;
        } else {
            // Later objects of an already described class refer to it by
            // its index in the archive's map (class tag 1 with the high bit).
            ar.WriteU16(0x8001);
        }
        obj->m_params.StoreParams(ar);
    }
}

CObList LoadObList(CArchive& ar)
{
    CObList list;
    const uint16_t count = ar.ReadU16();
    if (count == 0)
        return list;
    if (count != 1)
        throw CArchiveException(CArchiveException::badFormat);
    if (ar.ReadU16() != kNewClassTag)
        throw CArchiveException(CArchiveException::badClass);
    if (ar.ReadU16() != kSchema)
        throw CArchiveException(CArchiveException::badSchema);
    if (ar.ReadU16() != kClassNameLength)
        throw CArchiveException(CArchiveException::badClass);
    uint8_t name[kClassNameLength];
    ar.ReadBytes(name);
    if (std::memcmp(name, kClassName, kClassNameLength) != 0)
        throw CArchiveException(CArchiveException::badClass);
    auto obj = std::make_unique<CDataObj>();
    obj->Serialize(ar);
    list.push_back(std::move(obj));
    return list;
}

std::vector<uint8_t> EncodeDefaults(const CTileParams& params)
{
    CObList list;
    list.push_back(std::make_unique<CDataObj>(params));
    CArchive ar(4096);
    StoreObList(ar, list);
    return ar.Buffer();
}

std::unique_ptr<CTileParams> DecodeDefaults(std::span<const uint8_t> bytes)
{
    try {
        CArchive ar(bytes);
        CObList list = LoadObList(ar);
        if (list.empty() || !list.front())
            return nullptr;
        return std::make_unique<CTileParams>(list.front()->m_params);
    } catch (const CArchiveException&) {
        return nullptr;
    }
}

} // namespace quorrel::model
