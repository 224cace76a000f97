#pragma once

// The start-up queries that read a router's whole state, in the order they go out: each
// reply sends the next query (SysexFrame::query builds them).
//
//   query 1 -> ModeReport             -> query 2
//   query 2 -> PortCountReport        -> query 3, a pause, query 4
//   query 3 -> one RouteReport a route
//   query 4 -> FilterPortCountReport  -> query 5 (once per connection)
//   query 5 -> one PortFilterReport a filter port; the chain ends when every port reported
namespace QueryChain {

enum Item { Mode = 1, PortCounts, Routes, FilterPortCounts, PortFilters };
constexpr int ItemCount = 5;

// The pause between query 3 and query 4, counted from when query 3 has left, in which the
// router's route reports start to come in.
constexpr int RoutesPauseMs = 15;

} // namespace QueryChain
