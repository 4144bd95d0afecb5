// The saver driven by hand: a clock the test moves and a worker whose jobs wait until the
// test runs them, so nothing here sleeps.
#include <chrono>
#include <deque>
#include <functional>
#include <future>

#include "store/Saver.h"
#include "store/StoreChanges.h"
#include "store/StoreTestFiles.h"

namespace {

using namespace std::chrono_literals;
using Op = FaultyFileSystem::Op;

class SaverTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        Start();
        store->Save(); // the new store's Global.bin, so each case starts with nothing pending
        files.calls.clear();
    }
    // A store loaded from the folder as it is now, and its saver.
    void Start() {
        saver.reset();
        changes.reset();
        store = std::make_unique<ClsGlobal>(ProgramFolders{dir.path()}, files);
        changes = std::make_unique<StoreChanges>(*store);
        told = changes->Subscribe([this](const ChangeSet&) { saver->Changed(); });
        saver = std::make_unique<Saver>(
            *store,
            [this](Saver::Job job, Saver::Done done) {
                jobs.push_back([job, done] { done(job()); });
            },
            [this] { return now; });
    }

    void Pass(std::chrono::milliseconds time) {
        now += time;
        saver->Tick();
    }
    void RunJobs() {
        while (!jobs.empty()) {
            auto job = std::move(jobs.front());
            jobs.pop_front();
            job();
        }
    }
    int32_t AddCustomer(const std::string& name) {
        int32_t id = 0;
        return changes->CustomerSave(id, name);
    }
    std::string SavedName(int32_t id) {
        return ClsGlobal(ProgramFolders{dir.path()}, FileSystem::Real(), StoreMode::ReadOnly)
            .CustomerLoad(id)
            ->Name();
    }

    FaultyFileSystem files;
    std::unique_ptr<ClsGlobal> store;
    std::unique_ptr<StoreChanges> changes;
    StoreChanges::Subscription told;
    std::unique_ptr<Saver> saver;
    std::deque<std::function<void()>> jobs;
    Saver::TimePoint now{};
};

// A save waits for a quiet second after the last change; every change starts it again.
// The bytes are taken when the write starts: changes made while it runs go into the next
// write. Exit lets a write in flight finish, then writes the rest.
TEST_F(SaverTest, WaitsForAQuietSecondAndLosesNoChange) {
    EXPECT_EQ(saver->DueIn(), std::nullopt);
    int32_t ann = AddCustomer("Ann");
    EXPECT_EQ(saver->DueIn(), 1000ms);
    Pass(600ms);
    int32_t bob = AddCustomer("Bob");
    Pass(600ms);
    EXPECT_TRUE(jobs.empty());
    EXPECT_EQ(saver->DueIn(), 400ms);
    Pass(400ms);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(saver->DueIn(), std::nullopt) << "one write at a time";
    changes->CustomerSave(ann, "Ann renamed");
    int32_t cy = AddCustomer("Cy");
    RunJobs();
    EXPECT_EQ(SavedName(ann) + SavedName(bob) + SavedName(cy), "AnnBob");
    EXPECT_EQ(saver->DueIn(), 1000ms) << "the changes start the quiet second again";
    Pass(1s);
    ASSERT_EQ(jobs.size(), 1u);
    int32_t dee = AddCustomer("Dee");
    EXPECT_TRUE(saver->Flush([this] { RunJobs(); }).Ok());
    EXPECT_TRUE(jobs.empty());
    EXPECT_EQ(SavedName(ann) + SavedName(cy) + SavedName(dee), "Ann renamedCyDee");
    EXPECT_FALSE(store->HasPendingChanges());
    EXPECT_EQ(saver->DueIn(), std::nullopt);
}

// A steady stream of changes, each inside the quiet second of the one before, is still
// written: no change waits more than two seconds, and the writes do not follow every change.
TEST_F(SaverTest, AStreamOfChangesIsWrittenTwoSecondsAfterItsOldest) {
    std::vector<std::pair<int32_t, Saver::TimePoint>> made;
    for (int i = 0; i < 29; ++i) {
        made.emplace_back(AddCustomer("C" + std::to_string(i)), now);
        for (int step = 0; step < 7; ++step) {
            Pass(100ms);
            RunJobs();
        }
        for (const auto& [id, at] : made) {
            if (now - at >= 2s) {
                EXPECT_EQ(SavedName(id), "C" + std::to_string(id - 1)) << "at " << i;
            }
        }
    }
    EXPECT_LE(files.Count(Op::Rename, "Customer.bin"), 11);
    EXPECT_GE(files.Count(Op::Rename, "Customer.bin"), 9);
}

// A failed write is logged once however often it fails again, reported until a write
// succeeds, and tried again on its own after 5 s, then after pauses that double up to a
// minute; changes meanwhile neither hurry nor hold it. A success starts the pauses over.
TEST_F(SaverTest, AFailedWriteIsRetriedOnItsOwnWithGrowingPauses) {
    files.faults.push_back({Op::Write, "Customer.bin.tmp-", 0, ENOSPC});
    AddCustomer("Ann");
    Pass(1s);
    RunJobs();
    ASSERT_TRUE(saver->Failing());
    EXPECT_EQ(saver->Failure().failedFiles,
              (std::vector<std::string>{"Customer.bin", "Global.bin"}));
    EXPECT_EQ(saver->Failure().errors.front().number, 61);
    int tries = 1;
    for (auto pause : {5s, 10s, 20s, 40s, 60s, 60s}) {
        SCOPED_TRACE(pause.count());
        EXPECT_EQ(saver->DueIn(), pause);
        Pass(pause - 1ms);
        AddCustomer("Bob");
        EXPECT_TRUE(jobs.empty());
        EXPECT_EQ(saver->DueIn(), 1ms);
        Pass(1ms);
        RunJobs();
        EXPECT_EQ(files.Count(Op::Write, "Customer.bin.tmp-"), ++tries);
        EXPECT_TRUE(saver->Failing());
    }
    const std::string log = ReadLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log; // one line per file, once

    files.faults.clear();
    Pass(60s);
    RunJobs();
    EXPECT_FALSE(saver->Failing());
    EXPECT_EQ(SavedName(1), "Ann");
    EXPECT_EQ(saver->DueIn(), std::nullopt);

    files.faults.push_back({Op::Rename, "Customer.bin", 1, EIO});
    AddCustomer("Cy");
    EXPECT_EQ(saver->DueIn(), 1000ms) << "after a success, a quiet second again";
    Pass(1s);
    RunJobs();
    EXPECT_TRUE(saver->Failing());
    EXPECT_EQ(saver->DueIn(), 5s);
    EXPECT_TRUE(saver->Flush([this] { RunJobs(); }).Ok());
    EXPECT_FALSE(saver->Failing());
}

// What the load repaired is written a quiet second after the saver starts, with no change.
TEST_F(SaverTest, RepairsMadeAtLoadAreWrittenWithoutAChange) {
    AddCustomer("Ann");
    store->Save();
    const std::string path = dir.file("Data/Customer.bin");
    WriteBytes(path, [&] {
        FileBytes bytes = ReadBytes(path);
        bytes.push_back(0x5A);
        return bytes;
    }());
    Start();
    EXPECT_EQ(saver->DueIn(), 1000ms);
    Pass(1s);
    RunJobs();
    EXPECT_EQ(ReadBytes(path).size(), 28u);
    EXPECT_FALSE(store->HasPendingChanges());
}

// A real worker thread writes while this thread goes on changing the store, deleting most
// of it on the way (so its storage is compacted under the writer's feet): what reaches the
// files is, at the end, exactly what the store holds.
TEST_F(SaverTest, ARealWorkerWritesWhileTheStoreChanges) {
    std::future<BatchResult> writing;
    Saver::Done finish;
    auto join = [&] {
        if (writing.valid()) {
            finish(writing.get());
        }
    };
    Saver real(
        *store,
        [&](Saver::Job job, Saver::Done done) {
            writing = std::async(std::launch::async, job);
            finish = done;
        },
        [this] { return now; }, Saver::Timing{.quiet = 0ms, .longest = 0ms});
    told = changes->Subscribe([&](const ChangeSet&) { real.Changed(); });
    std::vector<int32_t> customers;
    for (int i = 0; i < 20000; ++i) {
        customers.push_back(AddCustomer("Customer " + std::to_string(i)));
        int32_t appointment = 0;
        changes->AppointmentSave(appointment, customers.back(), 1 + i % 7, 0, i * 10, i * 10 + 5,
                                 "R" + std::to_string(i));
        if (i % 3 == 0) {
            changes->CustomerDelete(customers[static_cast<size_t>(i / 2)]);
        }
        if (writing.valid() && writing.wait_for(0s) == std::future_status::ready) {
            join();
        }
        real.Tick();
    }
    EXPECT_TRUE(real.Flush(join).Ok());
    ClsGlobal saved(ProgramFolders{dir.path()}, FileSystem::Real(), StoreMode::ReadOnly);
    EXPECT_EQ(Dump(saved.Customers()), Dump(store->Customers()));
    EXPECT_EQ(Dump(saved.Appointments()), Dump(store->Appointments()));
    EXPECT_LT(store->Appointments().Count(), 20000u);
    EXPECT_GE(files.Count(Op::Rename, "Appointment.bin"), 3) << "written while changing";
}

} // namespace
