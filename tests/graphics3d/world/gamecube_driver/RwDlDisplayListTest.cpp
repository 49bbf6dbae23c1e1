// Display lists: their reserved sizes, their bytes, and lists that stay
// in step with what they announce (untextured data with texture sets,
// skinned vertices whose bone a palette lacks).
#include "graphics3d/gamecube/RwDlDisplayList.h"
#include "graphics3d/world/RpMesh.h"

#include "RpGameCubeTestCase.h"

#include <vector>

namespace {

constexpr u32 TEX = 0x04;
constexpr u32 PRELIT = 0x08;
constexpr u32 NORMALS = 0x10;

// A mesh header with its meshes and their indices in one block.
struct MeshBlock {
	std::vector<u8> bytes;

	MeshBlock( const u32 flags, const std::vector<std::vector<u16>>& meshes ) {
		size_t indices = 0;
		for ( const auto& m : meshes ) {
			indices += m.size();
		}
		bytes.resize( sizeof( RpMeshHeader ) + meshes.size() * sizeof( RpMesh ) + indices * sizeof( u16 ) + 8 );
		RpMeshHeader* const header = Header();
		*header = { flags, static_cast<u16>( meshes.size() ), 1, static_cast<u32>( indices ), 0 };
		RpMesh* const out = RpMeshHeaderGetMeshes( header );
		u16* at = reinterpret_cast<u16*>( out + meshes.size() );
		for ( size_t i = 0; i < meshes.size(); i++ ) {
			out[i] = { at, static_cast<u32>( meshes[i].size() ), nullptr };
			for ( const u16 v : meshes[i] ) {
				*at++ = v;
			}
		}
	}
	RpMeshHeader* Header() { return reinterpret_cast<RpMeshHeader*>( bytes.data() ); }
};

// One parsed draw command: opcode, count, and per vertex the optional
// matrix index and the attribute indices; the bytes it took.
struct Parsed {
	u8 opcode = 0;
	u16 count = 0;
	std::vector<u8> matrices;
	std::vector<std::vector<u16>> indices;
	u32 used = 0;
};

Parsed Parse( const u8* list, const u32 size, const u32 indexSize, const u32 attributes, const bool matrices ) {
	Parsed p;
	p.opcode = list[0];
	p.count = static_cast<u16>( list[1] << 8 | list[2] );
	u32 at = 3;
	for ( u32 v = 0; v < p.count && at < size; v++ ) {
		if ( matrices ) {
			p.matrices.push_back( list[at++] );
		}
		std::vector<u16> vertex;
		for ( u32 a = 0; a < attributes; a++ ) {
			vertex.push_back( indexSize == 1 ? list[at] : static_cast<u16>( list[at] << 8 | list[at + 1] ) );
			at += indexSize;
		}
		p.indices.push_back( vertex );
	}
	p.used = at;
	return p;
}

class RwDlDisplayListTest : public RpGameCubeTestCase {};

TEST_F( RwDlDisplayListTest, SizesRoundUpAndExactMultiplesGetABlockMore ) {
	struct Case {
		u32 indices, indexSize, flags;
		s32 sets;
		bool matrices;
		u32 expected;
	} const cases[] = {
		{ 32, 1, 0, 0, false, 64 },			   // 35 bytes
		{ 32, 2, 0, 0, false, 96 },			   // 67 bytes
		{ 61, 1, 0, 0, false, 96 },			   // exactly 64
		{ 29, 2, 0, 0, false, 64 },			   // 61
		{ 31, 2, 0, 0, true, 128 },			   // exactly 96 with matrix indices
		{ 10, 1, TEX, 2, false, 64 },		   // 33
		{ 10, 1, 0, 2, false, 32 },			   // sets ignored untextured: 13
		{ 10, 2, NORMALS | PRELIT | 0x80, 1, false, 96 },  // 83
	};
	for ( const Case& c : cases ) {
		MeshBlock block( 0, { std::vector<u16>( c.indices, 0 ) } );
		EXPECT_EQ( _rwDlMeshHeaderGetDisplayListSize( block.Header(), c.sets, c.indexSize, c.flags, c.matrices ), c.expected )
			<< c.indices << " indices, size " << c.indexSize << ", flags " << c.flags;
	}
	MeshBlock two( 0, { std::vector<u16>( 32, 0 ), std::vector<u16>( 61, 0 ) } );
	EXPECT_EQ( _rwDlMeshHeaderGetDisplayListSize( two.Header(), 0, 1, 0, false ), 64u + 96u );
}

TEST_F( RwDlDisplayListTest, StripAndListMeshesRecordTheirGoldenBytes ) {
	MeshBlock strip( 1, { { 0, 1, 2, 3 } } );
	alignas( 32 ) u8 buffer[256] = {};
	RxGCDisplayListRecord record[1];
	_rwDlDisplayListsCreate( record, buffer, strip.Header(), 0, 1, NORMALS, nullptr );
	const std::vector<u8> stripBytes = { 0x98, 0x00, 0x04, 0, 0, 1, 1, 2, 2, 3, 3 };
	ASSERT_EQ( record[0].list, buffer );
	ASSERT_EQ( record[0].size, 32u );
	EXPECT_EQ( std::vector<u8>( buffer, buffer + stripBytes.size() ), stripBytes );
	EXPECT_EQ( std::vector<u8>( buffer + stripBytes.size(), buffer + 32 ), std::vector<u8>( 32 - stripBytes.size(), 0 ) );

	MeshBlock lists( 0, { { 0x102, 0x001, 0x0203 }, { 7, 8, 9 } } );
	RxGCDisplayListRecord records[2];
	std::fill( std::begin( buffer ), std::end( buffer ), 0xEE );
	_rwDlDisplayListsCreate( records, buffer, lists.Header(), 1, 2, PRELIT | TEX, nullptr );
	const std::vector<u8> first = { 0x90, 0x00, 0x03, 0x01, 0x02, 0x01, 0x02, 0x01, 0x02, 0x00, 0x01, 0x00, 0x01,
									0x00, 0x01, 0x02, 0x03, 0x02, 0x03, 0x02, 0x03 };
	EXPECT_EQ( std::vector<u8>( records[0].list, records[0].list + first.size() ), first );
	EXPECT_EQ( records[0].size, 32u );
	EXPECT_EQ( records[1].list, buffer + 32 );
	EXPECT_EQ( records[1].list[4], 7 );
	EXPECT_EQ( GXHostFaults().size(), 0u );
}

TEST_F( RwDlDisplayListTest, UntexturedDataWithTextureSetsStaysInsideItsSize ) {
	std::vector<u16> indices;
	for ( u16 i = 0; i < 29; i++ ) {
		indices.push_back( i );
	}
	MeshBlock block( 0, { indices } );
	const u32 size = _rwDlMeshHeaderGetDisplayListSize( block.Header(), 2, 1, NORMALS, false );
	std::vector<u8> buffer( size + 64, 0xEE );
	RxGCDisplayListRecord record[1];
	_rwDlDisplayListsCreate( record, buffer.data(), block.Header(), 2, 1, NORMALS, nullptr );
	EXPECT_LE( record[0].size, size );
	EXPECT_EQ( buffer[size], 0xEE );
	const Parsed parsed = Parse( buffer.data(), record[0].size, 1, 2, false );
	ASSERT_EQ( parsed.indices.size(), indices.size() );
	EXPECT_EQ( parsed.indices.back(), ( std::vector<u16>{ 28, 28 } ) );
	EXPECT_EQ( GXHostFaults().size(), 0u );
}

TEST_F( RwDlDisplayListTest, SkinnedVerticesTakeTheirPaletteSlotAndAMissingBoneTakesSlotZero ) {
	MeshBlock block( 0, { { 0, 1, 2, 3, 4, 5 }, { 5, 4, 3 } } );
	// Bone of each vertex in its low byte; higher bytes are other weights.
	const u32 bones[] = { 0x0104, 0x0002, 0x0007, 0x0002, 0x0009, 0x0004 };
	// Mesh 0's palette lacks bone 9; mesh 1's starts 4 bytes further.
	const u8 palette[] = { 2, 4, 7, 0, 9, 2, 4, 0 };
	const RwDlMatrixIndices matrices = { bones, palette, 3, 4, nullptr };
	const u32 size = _rwDlMeshHeaderGetDisplayListSize( block.Header(), 0, 1, NORMALS, true );
	std::vector<u8> buffer( size + 64, 0xEE );
	RxGCDisplayListRecord records[2];
	_rwDlDisplayListsCreate( records, buffer.data(), block.Header(), 0, 1, NORMALS, &matrices );
	const Parsed first = Parse( records[0].list, records[0].size, 1, 2, true );
	EXPECT_EQ( first.matrices, ( std::vector<u8>{ 3, 0, 6, 0, 0, 3 } ) );
	EXPECT_EQ( first.indices.back(), ( std::vector<u16>{ 5, 5 } ) );
	const Parsed second = Parse( records[1].list, records[1].size, 1, 2, true );
	EXPECT_EQ( second.matrices, ( std::vector<u8>{ 6, 0, 3 } ) );
	EXPECT_EQ( second.indices.back(), ( std::vector<u16>{ 3, 3 } ) );
	EXPECT_LE( u32( records[1].list - buffer.data() ) + records[1].size, size );
	EXPECT_EQ( GXHostFaults().size(), 0u );
}

}	// namespace
