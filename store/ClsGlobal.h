#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/ClsAppointment.h"
#include "store/ClsCustomer.h"
#include "store/ClsResource.h"
#include "store/ClsType.h"
#include "store/Collection.h"
#include "store/GlobalRecord.h"

// One appointment in the per-resource index: its times kept beside it, so scans over a
// resource's bookings read one small contiguous array instead of every record.
struct ResourceSlot {
    int32_t startDtTm;
    int32_t endDtTm;
    const ClsAppointment* record;
};

// What Save could not write: the names of the files that keep their previous contents.
struct SaveResult {
    std::vector<std::string> failedFiles;
    bool Ok() const { return failedFiles.empty(); }
};

// The program's one data store. Creating it loads Data/ beside the program into memory;
// everything after that happens in memory until Save writes it all back.
class ClsGlobal {
public:
    // Loads the store from programFolder + "/Data/".
    explicit ClsGlobal(std::string programFolder);
    ClsGlobal(const ClsGlobal&) = delete;
    ClsGlobal& operator=(const ClsGlobal&) = delete;

    int32_t NextId();

    int32_t Color(int Index) const { return global_.Color(Index); }
    bool Option(int Index) const { return global_.Option(Index); }
    int32_t DateFormat() const { return global_.DateFormat(); }
    std::string ResourceType() const { return global_.ResourceType(); }
    int16_t PrintOrientation() const { return global_.PrintOrientation(); }
    int16_t PreviewViewType() const { return global_.PreviewViewType(); }
    int16_t PrintPageSize() const { return global_.PrintPageSize(); }
    int16_t PreviewZoom() const { return global_.PreviewZoom(); }
    void SetColor(int Index, int32_t v) { global_.SetColor(Index, v); }
    void SetOption(int Index, bool v) { global_.SetOption(Index, v); }
    void SetDateFormat(int32_t v) { global_.SetDateFormat(v); }
    void SetResourceType(std::string_view v) { global_.SetResourceType(v); }
    void SetPrintOrientation(int16_t v) { global_.SetPrintOrientation(v); }
    void SetPreviewViewType(int16_t v) { global_.SetPreviewViewType(v); }
    void SetPrintPageSize(int16_t v) { global_.SetPrintPageSize(v); }
    void SetPreviewZoom(int16_t v) { global_.SetPreviewZoom(v); }

    bool CheckForOverlap(int32_t Id, int32_t ResourceId, int32_t StartDtTm, int32_t EndDtTm) const;

    // Lookups return the stored record, or a fresh one with creation defaults and Id 0.
    std::shared_ptr<const ClsAppointment> AppointmentLoad(int32_t Id) const;
    // Returns the id stored under (also left in Id), -1 on a collision, 0 on a failure.
    int32_t AppointmentSave(int32_t& Id, int32_t CustomerId, int32_t ResourceId, int32_t TypeId,
                            int32_t StartDtTm, int32_t EndDtTm, std::string_view Reference);
    bool AppointmentDelete(int32_t Id);
    bool SaveAppointments();
    void LoadAppointments();

    std::shared_ptr<const ClsCustomer> CustomerLoad(int32_t Id) const;
    int32_t CustomerSave(int32_t& Id, std::string_view Name);
    bool CustomerDelete(int32_t Id);
    bool SaveCustomers();
    void LoadCustomers();

    std::shared_ptr<const ClsResource> ResourceLoad(int32_t Id) const;
    int32_t ResourceSave(int32_t& Id, std::string_view Name);
    bool ResourceDelete(int32_t Id);
    bool SaveResources();
    void LoadResources();

    std::shared_ptr<const ClsType> TypeLoad(int32_t Id) const;
    int32_t TypeSave(int32_t& Id, std::string_view Name, int32_t BackColor, int32_t ForeColor,
                     int32_t MinTime, int32_t MaxTime, int32_t IncTime);
    bool TypeDelete(int32_t Id);
    bool SaveTypes();
    void LoadTypes();

    // Writes Global.bin and the four record files; a file that fails keeps its old contents.
    SaveResult Save();
    void Load();

    bool FirstRun() const { return firstRun_; }

    const Collection<ClsResource>& Resources() const { return resources_; }
    const Collection<ClsCustomer>& Customers() const { return customers_; }
    const Collection<ClsType>& Types() const { return types_; }
    const Collection<ClsAppointment>& Appointments() const { return appointments_; }

    // The appointments of one resource, in collection order.
    std::span<const ResourceSlot> AppointmentsOfResource(int32_t ResourceId) const;

    const std::string& DataFolder() const { return dataFolder_; }
    // The data folder of a program folder, without the trailing slash.
    static std::string DataFolderOf(const std::string& programFolder) {
        return programFolder + "/Data";
    }

    // Changes whenever a customer is saved, deleted or loaded, so views can keep what
    // they derived from customers until it does.
    uint64_t CustomersVersion() const { return customersVersion_; }

private:
    enum Kind { kResource, kCustomer, kType, kAppointment, kGlobal, kKindCount };

    template <class T> void LoadFile(Collection<T>& collection, Kind kind, const char* procName);
    template <class T>
    bool SaveFile(const Collection<T>& collection, Kind kind, const char* procName);
    bool BackUpIfFaulty(Kind kind, const char* procName);
    bool SaveGlobal();
    void RaiseCounterTo(int32_t id);
    int32_t AllocateId(int32_t& Id);
    bool AddAppointment(std::shared_ptr<const ClsAppointment> record);
    void RemoveAppointments(const std::vector<int32_t>& ids);
    std::string PathOf(Kind kind) const;
    bool Unreadable(Kind kind, const char* procName) const;

    std::string programFolder_;
    std::string dataFolder_;
    int32_t counter_ = 0;
    uint64_t customersVersion_ = 0;
    GlobalRecord global_;
    bool firstRun_ = false;
    // A file that did not load whole and clean is copied to ".bak" before it is rewritten.
    std::array<bool, kKindCount> faulty_{};
    // A file that could not be read at all is never replaced: what is in memory is not it.
    std::array<bool, kKindCount> unreadable_{};

    Collection<ClsResource> resources_{'R'};
    Collection<ClsCustomer> customers_{'C'};
    Collection<ClsType> types_{'T'};
    Collection<ClsAppointment> appointments_{'A'};
    std::unordered_map<int32_t, std::vector<ResourceSlot>> byResource_;
};
