// The simulated service control manager: one test per call, the expected
// Win32 error next to each call.
#include <gtest/gtest.h>

#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

class ServicesTest : public ::testing::Test {
protected:
    Services& scm() { return machine_.platform().services(); }
    Handle openSpooler(std::uint32_t access) {
        Handle manager = 0, service = 0;
        EXPECT_EQ(scm().openSCManager(nullptr, SC_MANAGER_ALL_ACCESS, &manager), ERROR_SUCCESS);
        EXPECT_EQ(scm().openService(manager, "Spooler", access, &service), ERROR_SUCCESS);
        EXPECT_EQ(scm().closeServiceHandle(manager), ERROR_SUCCESS);
        return service;
    }
    std::uint32_t state(Handle service) {
        ServiceStatus status;
        EXPECT_EQ(scm().queryServiceStatus(service, &status), ERROR_SUCCESS);
        return status.currentState;
    }
    TestMachine machine_;
};

TEST_F(ServicesTest, OpenServiceKnowsOnlyTheSpooler) {
    Handle manager = 0, service = 0;
    ASSERT_EQ(scm().openSCManager(nullptr, SC_MANAGER_ALL_ACCESS, &manager), ERROR_SUCCESS);
    EXPECT_EQ(scm().openService(manager, "Spooler", SERVICE_STOP, &service), ERROR_SUCCESS);
    EXPECT_EQ(scm().closeServiceHandle(service), ERROR_SUCCESS);
    EXPECT_EQ(scm().openService(manager, "spooler", SERVICE_STOP, &service), ERROR_SUCCESS);
    EXPECT_EQ(scm().closeServiceHandle(service), ERROR_SUCCESS);
    EXPECT_EQ(scm().openService(manager, "NoSuchService", SERVICE_STOP, &service),
              ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_EQ(scm().openService(manager + 1000, "Spooler", SERVICE_STOP, &service), ERROR_INVALID_HANDLE);
    EXPECT_EQ(scm().closeServiceHandle(manager), ERROR_SUCCESS);
    EXPECT_EQ(scm().closeServiceHandle(manager), ERROR_INVALID_HANDLE);
}

TEST_F(ServicesTest, StopAndStartFollowTheServiceState) {
    Handle service = openSpooler(SERVICE_ALL_ACCESS);
    EXPECT_EQ(state(service), SERVICE_RUNNING);
    EXPECT_EQ(scm().startService(service), ERROR_SERVICE_ALREADY_RUNNING);
    ServiceStatus status;
    EXPECT_EQ(scm().controlService(service, SERVICE_CONTROL_STOP, &status), ERROR_SUCCESS);
    EXPECT_EQ(status.currentState, SERVICE_STOPPED);
    EXPECT_EQ(machine_.state().get("Spooler", "State"), "stopped");
    EXPECT_EQ(state(service), SERVICE_STOPPED);
    EXPECT_EQ(scm().controlService(service, SERVICE_CONTROL_STOP, &status), ERROR_SERVICE_NOT_ACTIVE);
    // The spooler itself no longer answers.
    std::string dir;
    EXPECT_EQ(machine_.platform().spooler().getPrinterDriverDirectory(nullptr, nullptr, 1, 256, &dir),
              RPC_S_SERVER_UNAVAILABLE);
    EXPECT_EQ(scm().startService(service), ERROR_SUCCESS);
    EXPECT_EQ(state(service), SERVICE_RUNNING);
    EXPECT_EQ(scm().closeServiceHandle(service), ERROR_SUCCESS);
    std::string log = machine_.log();
    EXPECT_NE(log.find("Spooler stopped"), std::string::npos) << log;
    EXPECT_NE(log.find("Spooler started"), std::string::npos) << log;
}

TEST_F(ServicesTest, StartPendingQueriesBeforeRunning) {
    machine_.state().set("Spooler", "StartPendingQueries", "2");
    Handle service = openSpooler(SERVICE_ALL_ACCESS);
    ASSERT_EQ(scm().controlService(service, SERVICE_CONTROL_STOP, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(scm().startService(service), ERROR_SUCCESS);
    EXPECT_EQ(state(service), SERVICE_START_PENDING);
    EXPECT_EQ(state(service), SERVICE_START_PENDING);
    EXPECT_EQ(state(service), SERVICE_RUNNING);
    EXPECT_EQ(state(service), SERVICE_RUNNING);
    scm().closeServiceHandle(service);
}

TEST_F(ServicesTest, CallsNeedTheAccessTheServiceWasOpenedWith) {
    Handle queryOnly = openSpooler(SERVICE_QUERY_STATUS);
    ServiceStatus status;
    EXPECT_EQ(scm().controlService(queryOnly, SERVICE_CONTROL_STOP, &status), ERROR_ACCESS_DENIED);
    EXPECT_EQ(scm().startService(queryOnly), ERROR_ACCESS_DENIED);
    Handle stopOnly = openSpooler(SERVICE_STOP);
    EXPECT_EQ(scm().queryServiceStatus(stopOnly, &status), ERROR_ACCESS_DENIED);
    EXPECT_EQ(machine_.state().get("Spooler", "State"), "running");
    scm().closeServiceHandle(queryOnly);
    scm().closeServiceHandle(stopOnly);
}

TEST(ServicesOn9x, ThereIsNoManager) {
    TestMachineOptions o;
    o.os = "me";
    TestMachine machine(o);
    Handle manager = 0;
    EXPECT_EQ(machine.platform().services().openSCManager(nullptr, SC_MANAGER_ALL_ACCESS, &manager),
              ERROR_CALL_NOT_IMPLEMENTED);
}

}  // namespace
}  // namespace plat::sim
