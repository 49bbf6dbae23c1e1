#include "tools/lib/level/ToolSampleCollisionMap.h"

ToolColMap ToolSampleCollisionMap() {
	ToolColMap map;
	map.attribs.resize( 1 );
	map.attribs[0].detectedBy = 0x1;
	const f32 e = 20.0f;
	const f32 h = 4.0f;
	const std::vector<std::vector<ToolVec3>> quads = {
		{ { -e, 0, -e }, { -e, 0, e }, { e, 0, e }, { e, 0, -e } },
		{ { -e, 0, -e }, { -e, h, -e }, { -e, h, e }, { -e, 0, e } },
		{ { e, 0, e }, { e, h, e }, { e, h, -e }, { e, 0, -e } },
		{ { e, 0, -e }, { e, h, -e }, { -e, h, -e }, { -e, 0, -e } },
		{ { -e, 0, e }, { -e, h, e }, { e, h, e }, { e, 0, e } },
	};
	for ( const std::vector<ToolVec3>& quad : quads ) {
		ToolColPolygon polygon;
		polygon.vertices = quad;
		map.polygons.push_back( polygon );
	}
	return map;
}

bool ToolSampleCollisionMapRecord( ToolResourceRecord& record, std::string& error ) {
	record.classId = TOOL_CLASS_COLLISION_MAP;
	std::vector<u8> blob;
	if ( !ToolCollisionMapWriter::Encode( ToolSampleCollisionMap(), blob, error ) ) {
		error = "sample collision map: " + error;
		return false;
	}
	record.object = ToolCollisionMapWriter::BinaryRecord( blob );
	return true;
}
