#include "framework/graphics/EFEnvMap.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFLinesMgr.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpMaterial.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFEnvMap, "EI_OCTREE_RES", EF_ENV_MAP_CLASS_ID, IT_OBJECT );

namespace {

constexpr u32 NODE_LEAF			= 0x1;
constexpr u32 CHILD_SLOTS		= 8;
constexpr u32 CHILDREN_WORD		= 8;
constexpr u32 LEAF_COUNT_WORD	= 10;
constexpr u32 LEAF_ENTRY_WORD	= 14;
constexpr u32 LEAF_BODY_WORD	= 8;
// Bytes of a chunk header: the least a material can take.
constexpr u32 CHUNK_HEADER		= 12;
// Characters of a text-form file name.
constexpr s32 FILE_NAME_MAX		= 2048;

// Checks a node's leaf entries while the walk passes.
class EntryCheck : public EFEnvMap::EFOctNodeVisitor {
public:
	explicit EntryCheck( const u32 leafArea ) : mui32LeafArea( leafArea ) {}

	bool Visit( EFEnvMap & map, const u32 node, const bool leaf ) override {
		if ( !leaf ) {
			return true;
		}
		const u32 count = map.Word( node + 4 * LEAF_COUNT_WORD );
		for ( u32 i = 0; i < count; i++ ) {
			const u64 target = static_cast<u64>( mui32LeafArea ) + map.Word( node + 4 * ( LEAF_ENTRY_WORD + i ) );
			if ( target >= map.Word( 0 ) ) {
				return false;
			}
		}
		return true;
	}

private:
	u32		mui32LeafArea;
};

class LeafDrawer : public EFEnvMap::EFOctNodeVisitor {
public:
	explicit LeafDrawer( u8 * block ) : mpBlock( block ) {}

	bool Visit( EFEnvMap &, const u32 node, const bool leaf ) override {
		if ( leaf ) {
			RenderOctreeNode( reinterpret_cast<EFOctNodeEnd *>( mpBlock + node + 4 * LEAF_BODY_WORD ) );
		}
		return true;
	}

private:
	u8 *	mpBlock;
};

}

EFEnvMap::EFEnvMap()
	: mpNext( nullptr ), mpBlock( nullptr ), mui32Size( 0 ), mui32Root( 0 ), mui32MaterialCount( 0 ),
	  mppMaterials( nullptr ), mui32Word5( 0 ), mui32LeafArea( 0 ), mui32HookCount( 0 ), mui32HookOffset( 0 ),
	  mbDisabled( true ), mbRegistered( false ) {
}

EFEnvMap::~EFEnvMap() {
	if ( mppMaterials != nullptr ) {
		for ( u32 i = 0; i < mui32MaterialCount; i++ ) {
			if ( mppMaterials[i] != nullptr ) {
				RpMaterialDestroy( mppMaterials[i] );
			}
		}
		MMFree( mppMaterials );
	}
	if ( mpBlock != nullptr ) {
		MMFree( mpBlock );
	}
}

s32 EFEnvMap::GetClassID() const {
	return EF_ENV_MAP_CLASS_ID;
}

const char * EFEnvMap::GetClassName() const {
	return "EI_OCTREE_RES";
}

bool EFEnvMap::IsOwnedElsewhere() const {
	return mbRegistered;
}

void EFEnvMap::Register() {
	if ( gpoWorldMgr != nullptr ) {
		gpoWorldMgr->AddEnvMap( this );
		mbRegistered = true;
	}
}

s32 EFEnvMap::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	u32 unused = 0;
	u32 size = 0;
	s32 code = stream.LoadData( unused );
	if ( code == DT_PERSIST_OK ) {
		code = stream.LoadData( unused );
	}
	if ( code == DT_PERSIST_OK ) {
		code = stream.LoadData( size );
	}
	if ( code != DT_PERSIST_OK ) {
		return code;
	}
	// A block smaller than its header, or longer than the stream holds,
	// is not read.
	if ( size < EF_ENV_MAP_HEADER_BYTES || size - 4 > stream.GetBytesLeft() ) {
		Register();
		return DT_PERSIST_READ_PAST_END;
	}
	u8 * const block = static_cast<u8 *>( MMMalloc( size ) );
	if ( block == nullptr ) {
		Register();
		return DT_PERSIST_READ_PAST_END;
	}
	DTWriteBE32( block, size );
	code = stream.LoadBinaryData( reinterpret_cast<char *>( block + 4 ), static_cast<s32>( size - 4 ) );
	if ( code != DT_PERSIST_OK ) {
		MMFree( block );
		Register();
		return code;
	}
	Init( block );
	Register();
	return DT_PERSIST_OK;
}

s32 EFEnvMap::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	u32 unused = 0;
	stream.LoadData( unused );
	stream.LoadData( unused );
	char * const name = static_cast<char *>( MMCalloc( FILE_NAME_MAX + 1, 1 ) );
	if ( name != nullptr ) {
		stream.LoadTextData( name, FILE_NAME_MAX );
		MMFree( name );
	}
	mbDisabled = true;
	Register();
	return DT_PERSIST_OK;
}

u32 EFEnvMap::Word( const u32 byteOffset ) const {
	if ( mpBlock == nullptr || byteOffset > mui32Size || mui32Size - byteOffset < 4 ) {
		return 0;
	}
	return DTReadBE32( mpBlock + byteOffset );
}

RpMaterial * EFEnvMap::GetMaterial( const u32 index ) const {
	return mppMaterials != nullptr && index < mui32MaterialCount ? mppMaterials[index] : nullptr;
}

u32 EFEnvMap::Init( void * block ) {
	mpBlock = static_cast<u8 *>( block );
	mbDisabled = true;
	if ( mpBlock == nullptr ) {
		return 0;
	}
	mui32Size = DTReadBE32( mpBlock );
	if ( mui32Size < EF_ENV_MAP_HEADER_BYTES || Word( 4 ) != EF_ENV_MAP_VERSION ) {
		return 0;
	}
	mui32Root = Word( 8 );
	const u32 materialCount = Word( 12 );
	const u32 materialOffset = Word( 16 );
	mui32Word5 = Word( 20 );
	mui32LeafArea = Word( 24 );
	mui32HookCount = Word( 28 );
	mui32HookOffset = Word( 32 );
	if ( mui32LeafArea > mui32Size || mui32HookOffset > mui32Size || materialOffset > mui32Size ) {
		return 0;
	}
	mui32MaterialCount = materialCount;
	if ( !LoadMaterial( materialOffset ) ) {
		return 0;
	}
	EntryCheck entries( mui32LeafArea );
	if ( !VisitOctree( mui32Root, entries ) ) {
		return 0;
	}
	mbDisabled = false;
	return 1;
}

bool EFEnvMap::LoadMaterial( const u32 offset ) {
	if ( mui32MaterialCount == 0 ) {
		return true;
	}
	// Every material takes at least a chunk header.
	if ( offset > mui32Size || mui32MaterialCount > ( mui32Size - offset ) / CHUNK_HEADER ) {
		mui32MaterialCount = 0;
		return false;
	}
	mppMaterials = static_cast<RpMaterial **>( MMCalloc( mui32MaterialCount, sizeof( RpMaterial * ) ) );
	if ( mppMaterials == nullptr ) {
		mui32MaterialCount = 0;
		return false;
	}
	// The stream ends with the block.
	RwMemory memory = { mpBlock + offset, mui32Size - offset };
	RwStream * const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	if ( stream == nullptr ) {
		return true;
	}
	for ( u32 i = 0; i < mui32MaterialCount; i++ ) {
		if ( RwStreamFindChunk( stream, rwID_MATERIAL, nullptr, nullptr ) ) {
			mppMaterials[i] = RpMaterialStreamRead( stream );
		}
	}
	RwStreamClose( stream, &memory );
	return true;
}

bool EFEnvMap::NodeFits( const u32 nodeOffset, bool & leaf ) const {
	if ( nodeOffset % 4 != 0 || nodeOffset > mui32Size || mui32Size - nodeOffset < EF_ENV_MAP_LEAF_BYTES ) {
		return false;
	}
	leaf = ( Word( nodeOffset ) & NODE_LEAF ) != 0;
	if ( !leaf ) {
		return mui32Size - nodeOffset >= EF_ENV_MAP_INNER_BYTES;
	}
	const u64 entries = Word( nodeOffset + 4 * LEAF_COUNT_WORD );
	return EF_ENV_MAP_LEAF_BYTES + 4 * entries <= mui32Size - nodeOffset;
}

bool EFEnvMap::VisitOctree( const u32 nodeOffset, EFOctNodeVisitor & visitor ) {
	// No octree in the block has more nodes than inner nodes fit in it.
	u32 budget = mui32Size / EF_ENV_MAP_LEAF_BYTES;
	return Visit( nodeOffset, visitor, 0, budget );
}

bool EFEnvMap::Visit( const u32 nodeOffset, EFOctNodeVisitor & visitor, const u32 depth, u32 & budget ) {
	bool leaf = false;
	if ( depth > EF_ENV_MAP_MAX_DEPTH || budget == 0 || !NodeFits( nodeOffset, leaf ) ) {
		return false;
	}
	budget--;
	if ( !visitor.Visit( *this, nodeOffset, leaf ) ) {
		return false;
	}
	if ( leaf ) {
		return true;
	}
	for ( u32 slot = 0; slot < CHILD_SLOTS; slot++ ) {
		const u32 child = Word( nodeOffset + 4 * ( CHILDREN_WORD + slot ) );
		if ( child == 0 ) {
			continue;
		}
		const u64 at = static_cast<u64>( mui32Root ) + child;
		if ( at > mui32Size || !Visit( static_cast<u32>( at ), visitor, depth + 1, budget ) ) {
			return false;
		}
	}
	return true;
}

void EFEnvMap::ProcessOctree( const u32 nodeOffset ) {
	LeafDrawer drawer( mpBlock );
	VisitOctree( nodeOffset, drawer );
}

void EFEnvMap::Render() {
	if ( mbDisabled ) {
		return;
	}
	BeginRenderOctree( mpBlock + mui32HookOffset, mui32HookCount, mppMaterials );
	ProcessOctree( mui32Root );
	EndRenderOctree();
}
