// Running part of a test as an ordinary user, for the cases that depend on
// file permissions: the tests run as root, whom no permission stops. The
// part runs in a child process that drops to the user "nobody"; its checks
// (EXPECT_..., ASSERT_...) are reported by the child and fail the test.
//
//   UNPRIVILEGED_OR_SKIP(user);        // GTEST_SKIP with the reason when impossible
//   user.Own(dir.Path());              // hand the test's files to that user
//   ::chmod(file.c_str(), 0444);
//   user.Run([&] { EXPECT_FALSE(session.SaveProject(file, &error)); });
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <optional>
#include <string>

#if defined(_WIN32)

class UnprivilegedUser {
public:
    static std::optional<UnprivilegedUser> Find(std::string* why) {
        *why = "no other user to run as on Windows";
        return std::nullopt;
    }
    bool SwitchesFromRoot() const { return false; }
    void Own(const std::string&) const {}
    void GiveToGroup(const std::string&) const {}
    void Run(const std::function<void()>&) const {}
};

#else

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

class UnprivilegedUser {
public:
    // The user to run as: "nobody" when the tests run as root, else the
    // user the tests run as, who is an ordinary user already. Nothing when
    // the system cannot switch users (the reason in *why).
    static std::optional<UnprivilegedUser> Find(std::string* why) {
        if (::geteuid() != 0) return UnprivilegedUser(::geteuid(), ::getegid(), false);
        const passwd* pw = ::getpwnam("nobody");
        if (pw == nullptr) {
            *why = "there is no user \"nobody\" to drop to from root";
            return std::nullopt;
        }
        UnprivilegedUser user(pw->pw_uid, pw->pw_gid, true);
        // A container may deny switching users even to root.
        const pid_t pid = ::fork();
        if (pid == 0) ::_exit(user.Drop() ? 0 : 1);
        int status = 0;
        if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            *why = "this system does not let root switch to the user \"nobody\"";
            return std::nullopt;
        }
        return user;
    }

    // Whether the tests run as root and the part runs as another user.
    bool SwitchesFromRoot() const { return m_switch; }

    // Gives `path` and everything below it to the user.
    void Own(const std::string& path) const {
        if (!m_switch) return;
        ASSERT_EQ(::chown(path.c_str(), m_uid, m_gid), 0) << path;
        if (!std::filesystem::is_directory(path)) return;
        for (const auto& e : std::filesystem::recursive_directory_iterator(path)) {
            ASSERT_EQ(::lchown(e.path().c_str(), m_uid, m_gid), 0) << e.path();
        }
    }

    // Gives `path` to root, in the user's group: a file of someone else's
    // that the user may write as a member of its group.
    void GiveToGroup(const std::string& path) const {
        if (!m_switch) return;
        ASSERT_EQ(::chown(path.c_str(), 0, m_gid), 0) << path;
    }

    // Runs `part` as the user in a child process and waits for it; a check
    // that fails in it fails the test.
    void Run(const std::function<void()>& part) const {
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0) << "fork failed";
        if (pid == 0) {
            if (!Drop()) ::_exit(3);
            // Nothing may leave the child but its exit status: an exception
            // would run the other tests in it.
            try {
                part();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "exception in the part run as an ordinary user: " << e.what();
            } catch (...) {
                ADD_FAILURE() << "exception in the part run as an ordinary user";
            }
            std::fflush(nullptr);
            ::_exit(::testing::Test::HasFailure() ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << "the part run as an ordinary user ended abnormally";
        EXPECT_NE(WEXITSTATUS(status), 3) << "could not switch to the ordinary user";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "a check failed in the part run as an ordinary user";
    }

private:
    UnprivilegedUser(uid_t uid, gid_t gid, bool doSwitch)
        : m_uid(uid), m_gid(gid), m_switch(doSwitch) {}

    bool Drop() const {
        if (!m_switch) return true;
        return ::setgroups(0, nullptr) == 0 && ::setgid(m_gid) == 0 && ::setuid(m_uid) == 0 &&
               ::geteuid() == m_uid;
    }

    uid_t m_uid;
    gid_t m_gid;
    bool m_switch;
};

#endif

// Declares `user`, or skips the test with the reason.
#define UNPRIVILEGED_OR_SKIP(user)                                                          \
    std::string user##Why;                                                                  \
    const std::optional<UnprivilegedUser> user##Found = UnprivilegedUser::Find(&user##Why); \
    if (!user##Found) GTEST_SKIP() << user##Why;                                            \
    const UnprivilegedUser& user = *user##Found
