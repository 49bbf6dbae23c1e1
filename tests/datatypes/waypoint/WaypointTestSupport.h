/*
===============================================================================

	Shared helpers of the waypoint tests: stored groups written with the
	tool writer and loaded through a binary memory stream, and a manager
	emptied before and after every test.

===============================================================================
*/
#ifndef WAYPOINT_TEST_SUPPORT_H
#define WAYPOINT_TEST_SUPPORT_H

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/waypoint/DTWaypointGrp.h"
#include "datatypes/waypoint/DTWpGrpMgr.h"
#include "tools/lib/level/ToolWaypointWriter.h"

#include <gtest/gtest.h>

#include <vector>

inline std::vector<u8> StoredGroup( const ToolWaypointGroup & group ) {
	ToolBigEndianWriter out;
	ToolWaypointWriter::WriteGroup( out, group );
	return out.Take();
}

// Loads a new group from bytes; the manager owns it afterwards.
inline DTWaypointGrp * LoadGroup( const std::vector<u8> & bytes, s32 & result ) {
	std::vector<char> copy( bytes.begin(), bytes.end() );
	DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
	DTWaypointGrp * const group = new DTWaypointGrp;
	result = group->Load( stream );
	return group;
}

class WaypointTestCase : public ::testing::Test {
protected:
	void SetUp() override { DTWpGrpMgr::moWpGrpMgr.RemoveAllWaypointGrp(); }
	void TearDown() override { DTWpGrpMgr::moWpGrpMgr.RemoveAllWaypointGrp(); }
};

#endif
