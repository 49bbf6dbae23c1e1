#include "framework/logic/EFLogicCode.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "platform/host/HostExecutableMemory.h"
#include "platform/os/OS.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

DT_IMPLEMENT_DYNAMIC_CLASS( EFLogicCode, "EF_LOGIC_CODE", EF_LOGIC_CODE_CLASS_ID, IT_OBJECT );

namespace {

// The code block must start on this boundary.
constexpr uintptr_t TEXT_ALIGNMENT = 16;

} // namespace

EFLogicCode::EFLogicCode()
	: mTextPtr( nullptr ), mBssPtr( nullptr ), mDataPtr( nullptr ), mFreeTextPtr( nullptr ),
	  mFreeBssPtr( nullptr ), mFreeDataPtr( nullptr ), muiTextBytes( 0 ) {
}

EFLogicCode::~EFLogicCode() {
	EFLogicCode::Free();
}

s32 EFLogicCode::GetClassID() const {
	return EF_LOGIC_CODE_CLASS_ID;
}

const char * EFLogicCode::GetClassName() const {
	return "EF_LOGIC_CODE";
}

s32 EFLogicCode::LoadFile( DTBasePersistStream & stream ) {
	if ( ( stream.GetType() & DT_PERSIST_TYPE_MEMORY ) == 0 ) {
		DTPrintf( "LOGIC MODULE %s: only a memory stream can be linked!!!\n", mpObjectName != nullptr ? mpObjectName : "" );
		return EF_LINK_NOT_IN_MEMORY;
	}
	const DTMemoryPersistStream & memory = static_cast<const DTMemoryPersistStream &>( stream );
	const u8 * image = reinterpret_cast<const u8 *>( memory.GetBuffer() ) + memory.GetPosition();
	const u64 size = memory.GetBytesLeft();

	// A module replaces whatever an earlier load of this object linked.
	ReleaseText();
	ClearLinkResult();

	EFElfImage sections;
	const s32 inspected = EFLogicLinker::Inspect( image, size, mpObjectName, true, sections );
	if ( inspected != EF_LINK_OK ) {
		return inspected;
	}
	if ( sections.format != &gElfFormatX86_64 ) {
		DTPrintf( "LOGIC MODULE %s REFUSED: %s code cannot run on this machine\n",
				  mpObjectName != nullptr ? mpObjectName : "", sections.format->name );
		return EF_LINK_FOREIGN_CODE;
	}

	void * block = HostAllocExecutable( sections.textBytes );
	if ( block == nullptr ) {
		DTPrintf( "LOGIC MODULE %s REFUSED: no executable memory for %llu bytes\n",
				  mpObjectName != nullptr ? mpObjectName : "", static_cast<unsigned long long>( sections.textBytes ) );
		return EF_LINK_NO_MEMORY;
	}
	if ( ( reinterpret_cast<uintptr_t>( block ) & ( TEXT_ALIGNMENT - 1 ) ) != 0 ) {
		std::printf( "Error!" );
	}
	mTextPtr = block;
	muiTextBytes = static_cast<u32>( sections.textBytes );

	EFLinkResult result;
	const s32 linked = EFLogicLinker::Link( sections, mpObjectName, static_cast<u8 *>( block ),
											reinterpret_cast<uintptr_t>( block ),
											reinterpret_cast<uintptr_t>( &memcpy ), result );
	if ( linked != EF_LINK_OK ) {
		ReleaseText();
		return linked;
	}
	mpfnConstructor = reinterpret_cast<LogicConstructorFn>( static_cast<uintptr_t>( result.constructor ) );
	mpfnDestructor = reinterpret_cast<LogicDestructorFn>( static_cast<uintptr_t>( result.destructor ) );
	mpfnRegisterLib = reinterpret_cast<LogicRegisterFn>( static_cast<uintptr_t>( result.registerLib ) );
	TakeLinkResult( result );
	DCFlushRange( block, muiTextBytes );
	HostSyncExecutable( block, muiTextBytes );
	return EF_LINK_OK;
}

void EFLogicCode::Free() {
	ReleaseText();
	EFLogicCodeBC::Free();
}

const char * EFLogicCode::GetFunctionName( u32 ) {
	return nullptr;
}

void EFLogicCode::ReleaseText() {
	HostFreeExecutable( mTextPtr, muiTextBytes );
	mTextPtr = nullptr;
	muiTextBytes = 0;
}
