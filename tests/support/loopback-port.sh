#!/usr/bin/env bash
# Shared by the throwaway servers of the test run. Source it.

# Prints a random port from 20000 to 49999 that nothing listens on at 127.0.0.1; fails when the one
# drawn is taken, so a caller that loops over attempts draws again.
free_loopback_port() {
    local port=$((20000 + (RANDOM % 30000)))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 1
    echo "$port"
}
