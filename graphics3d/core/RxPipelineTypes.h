/*
===============================================================================

	Records of the rendering pipelines.

	A pipeline is an ordered graph of nodes; each node is an instance of a
	node definition (a name, callbacks, and the clusters - typed data
	arrays - the node reads, makes, keeps or drops on each output). While
	a pipeline is locked its nodes sit in a super block laid out for the
	maximum node count: the node records, one 32-entry output area per
	node, one sort record per node. Unlocking resolves the graph and
	compacts everything the unlocked pipeline keeps into the front of the
	same block: node records, packed outputs, cluster records, the
	embedded packet and each node's slot tables and private data.

	Every record is a host struct; sizes and offsets are always taken with
	sizeof and offsetof.

===============================================================================
*/
#ifndef RX_PIPELINE_TYPES_H
#define RX_PIPELINE_TYPES_H

#include "datatypes/base/DTTypes.h"

#include <cstddef>

struct RwRaster;
struct RxHeap;
struct RxPipeline;
struct RxPipelineNode;
struct RxNodeDefinition;

// What a node asks of a cluster at its input.
enum RxClusterValidityReq : u32 {
	rxCLREQ_DONTWANT			= 0,
	rxCLREQ_REQUIRED			= 1,
	rxCLREQ_OPTIONAL			= 2,
};

// What a node does to a cluster on one of its outputs.
enum RxClusterValid : u32 {
	rxCLVALID_NOCHANGE			= 0,
	rxCLVALID_VALID				= 1,
	rxCLVALID_INVALID			= 2,
};

// Presence of a cluster of interest in the node's packet.
enum RxClusterForcePresent : u32 {
	rxCLALLOWABSENT				= 0,
	rxCLFORCEPRESENT			= 1,
};

// Who owns a node definition.
enum RxNodeDefEditable : u32 {
	rxNODEDEFCONST				= 0,	// static data
	rxNODEDEFEDITABLE			= 1,	// allocated; freed when its last user goes
};

// State of a pipeline's embedded packet.
enum RxPacketState : u32 {
	rxPKST_PACKETLESS			= 0,
	rxPKST_UNUSED				= 1,
	rxPKST_INUSE				= 2,
	rxPKST_PENDING				= 3,
};

// Limits of one node definition.
constexpr u32 RXNODEMAXCLUSTERSOFINTEREST	= 32;
constexpr u32 RXNODEMAXOUTPUTS				= 32;

// An output that leads nowhere, a cluster without a slot.
constexpr u32 RX_NO_NODE					= 0xFFFFFFFF;
constexpr u32 RX_NO_SLOT					= 0xFFFFFFFF;

// Static description of one cluster type.
struct RxClusterDefinition {
	const char*		name;
	u32				defaultStride;
	u32				defaultAttributes;
	const char*		attributeSet;
};

// One cluster of interest of a node definition.
struct RxClusterRef {
	RxClusterDefinition*	clusterDef;
	u32						forcePresent;		// RxClusterForcePresent
	u32						reserved;
};

// One output of a node definition.
struct RxOutputSpec {
	const char*		name;
	const u32*		outputClusters;		// RxClusterValid per cluster of interest
	u32				allOtherClusters;	// RxClusterValid for every other cluster
};

// Parameters handed to every node body: the caller's object and the heap.
struct RxPipelineNodeParam {
	void*		dataParam;
	RxHeap*		heap;
};

typedef bool	( *RxNodeBodyFn )( RxPipelineNode* self, const RxPipelineNodeParam* params );
typedef bool	( *RxNodeInitFn )( RxNodeDefinition* self );
typedef void	( *RxNodeTermFn )( RxNodeDefinition* self );
typedef bool	( *RxPipelineNodeInitFn )( RxPipelineNode* self );
typedef void	( *RxPipelineNodeTermFn )( RxPipelineNode* self );
typedef bool	( *RxPipelineNodeConfigFn )( RxPipelineNode* self, RxPipeline* pipeline );
typedef u32		( *RxConfigMsgHandlerFn )( RxPipelineNode* self, u32 msg, u32 intParam, void* ptrParam );

// A node definition, in the library's order.
struct RxNodeDefinition {
	const char*				name;
	RxNodeBodyFn			nodeBody;
	RxNodeInitFn			nodeInit;				// when its first pipeline node is initialised
	RxNodeTermFn			nodeTerm;				// when its last one goes
	RxPipelineNodeInitFn	pipelineNodeInit;
	RxPipelineNodeTermFn	pipelineNodeTerm;
	RxPipelineNodeConfigFn	pipelineNodeConfig;
	RxConfigMsgHandlerFn	configMsgHandler;		// kept, never called
	u32						numClustersOfInterest;	// at most 32
	RxClusterRef*			clustersOfInterest;
	const u32*				inputRequirements;		// RxClusterValidityReq per cluster of interest
	u32						numOutputs;				// at most 32
	RxOutputSpec*			outputs;
	u32						pipelineNodePrivateDataSize;
	u32						editable;				// RxNodeDefEditable
	s32						useCount;				// initialised pipeline nodes of this definition
	// Node records that refer to this definition in any pipeline, locked or
	// not. An editable definition is freed only when both counts are 0.
	s32						nodeRecordCount;
};

// A pipeline's record of one cluster definition it uses.
struct RxPipelineCluster {
	RxClusterDefinition*	clusterRef;
	u32						creationAttributes;
};

// Sort data of one node, used only while unlocking.
struct RxReqList;
struct RxPipelineNodeTopSortData {
	u32				numIns;
	u32				numInsVisited;
	RxReqList*		req;
};

// One node of a pipeline.
struct RxPipelineNode {
	RxNodeDefinition*			nodeDef;
	u32							numOutputs;
	u32*						outputs;				// node index per output, RX_NO_NODE when unconnected
	RxPipelineCluster**			slotClusterRefs;		// one per packet slot, null where empty
	u32*						slotsContinue;			// word 0: AND of the rest; 1 + s: outputs slot s continues on
	void*						privateData;
	u32*						inputToClusterSlot;		// slot per cluster of interest, RX_NO_SLOT when absent
	RxPipelineNodeTopSortData*	topSortData;
	void*						initializationData;		// owned, freed with the node
	u32							initializationDataSize;
};

// One cluster the first node of a pipeline wants at its input.
struct RxPipelineRequiresCluster {
	RxClusterDefinition*	clusterDef;
	u32						rqdOrOpt;		// rxCLREQ_REQUIRED or rxCLREQ_OPTIONAL
	u32						slotIndex;
};

// One slot of a packet.
struct RxCluster {
	u16						flags;			// RXCLUSTER_EXTERNAL: data not owned by the heap
	u16						stride;
	void*					data;
	void*					currentData;
	u32						numAlloced;
	u32						numUsed;
	RxPipelineCluster*		clusterRef;		// null: slot empty
	u32						attributes;
};

constexpr u16 RXCLUSTER_EXTERNAL = 0x2;

// A packet: this head, then numClusters RxCluster records.
struct RxPacket {
	u16				flags;
	u16				numClusters;
	RxPipeline*		pipeline;
	u32				reservedWords[3];	// kept 0; nothing reads them
};

inline RxCluster* RxPacketClusters( RxPacket* packet ) {
	return reinterpret_cast<RxCluster*>( reinterpret_cast<u8*>( packet ) + sizeof( RxPacket ) );
}

inline u32 RxPacketSize( const u32 numClusters ) {
	return static_cast<u32>( sizeof( RxPacket ) + numClusters * sizeof( RxCluster ) );
}

static_assert( sizeof( RxPacket ) % alignof( RxCluster ) == 0, "clusters follow the packet head aligned" );

// A pipeline. Everything but this record lives in the super block.
struct RxPipeline {
	u32							locked;
	u32							numNodes;
	RxPipelineNode*				nodes;					// the start of the super block
	u32							packetNumClusterSlots;
	u32							embeddedPacketState;	// RxPacketState
	RxPacket*					embeddedPacket;
	u32							numInputRequirements;
	RxPipelineRequiresCluster*	inputRequirements;		// sorted by definition address
	void*						superBlock;
	u32							superBlockSize;
	u32							entryPoint;				// node index
	u32							pluginId;
	u32							pluginData;
};

// The render-state vector; no node of this system reads it.
struct RxRenderStateVector {
	u32				Flags;
	u32				ShadeMode;
	u32				SrcBlend;
	u32				DestBlend;
	RwRaster*		TextureRaster;
	u32				AddressModeU;
	u32				AddressModeV;
	u32				FilterMode;
	u32				BorderColor;		// RGBA bytes in memory order
	u32				FogType;
	u32				FogColor;			// RGBA bytes in memory order
};

// Execution context of the pipeline being executed.
struct RxExecutionContext {
	RxPipeline*				pipeline;
	RxPipelineNode*			currentNode;	// not used by this system
	s32						exitCode;		// 1 until a node body fails
	u32						pad;
	RxPipelineNodeParam		params;
};

#endif
