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

ToolResourceRecord ToolSampleCollisionMapRecord() {
	ToolResourceRecord record;
	record.classId = TOOL_CLASS_COLLISION_MAP;
	std::vector<u8> blob;
	std::string error;
	// The sample polygons are always sound.
	ToolCollisionMapWriter::Encode( ToolSampleCollisionMap(), blob, error );
	record.object = ToolCollisionMapWriter::BinaryRecord( blob );
	return record;
}
