#include "tools/lib/level/ToolWaypointWriter.h"

void ToolWaypointWriter::WriteGroup( ToolBigEndianWriter& out, const ToolWaypointGroup& group ) {
	out.WriteU32( group.uid );
	out.WriteU32( group.count );
	out.WriteFloatArray( group.points );
}
